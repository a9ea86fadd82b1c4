"""What a blind user hears, playing by keyboard alone: the real program with
Orca on a Japanese desktop, each line Orca would speak read from its log."""

import os
import re
import unittest

import screen
from desktop import ARTEFACTS, BINARY, Desktop, read_text


class ScreenReaderTest(unittest.TestCase):
    def setUp(self):
        self.desktop = self.enterContext(
            Desktop(ARTEFACTS, "screen-reader", accessible=True, locale="ja_JP.UTF-8"))
        self.log = os.path.join(ARTEFACTS, "screen-reader-orca.txt")
        self.desktop.start_screen_reader(self.log)
        self.heard = 0  # spoken lines already matched

    def spoken(self):
        return re.findall(r"SPEECH OUTPUT: '(.*?)'", read_text(self.log))

    def hear(self, pattern):
        """Until Orca speaks a line matching `pattern` after the last one heard;
        the match."""
        def new_match(spoken):
            """The first line after those heard that matches, with its number."""
            for number in range(self.heard, len(spoken)):
                match = re.search(pattern, spoken[number])
                if match:
                    return number, match
            return None

        # Timed out, the wait says the last lines Orca spoke.
        spoken = self.desktop.wait_for(self.spoken, f"Orca to say {pattern!r}", new_match)
        number, match = new_match(spoken)
        self.heard = number + 1
        return match

    def test_a_throw_and_the_settings_heard(self):
        self.desktop.start_program(BINARY)
        self.hear(r"^設定 プッシュボタン")
        self.desktop.key("Tab")
        self.hear(r"^スタート プッシュボタン")
        self.desktop.key("space")
        self.hear(r"^通知 ストップ")
        self.desktop.key("space")
        said = self.hear(r"^通知 合計: (\d+)。ミルバネ1: (\d+)、ミルバネ2: (\d+)。リセット")
        total, first, second = (int(n) for n in said.groups())
        self.assertEqual(total, first + second)
        # What is spoken is what the screen shows.
        self.assertEqual(screen.Window(self.desktop, self.desktop.main).result(),
                         [first, second])
        # "Where am I" (keypad Enter) finds the result on the focused button.
        self.desktop.key("KP_Enter")
        self.hear(rf"^リセット プッシュボタン 合計: {total}。ミルバネ1: {first}、ミルバネ2: {second}")
        self.desktop.key("space")
        self.hear(r"^通知 スタート")

        # The settings: each box with its value and its meaning.
        self.desktop.key("Tab", "Return")
        self.hear(r"^ミルバネ設定 ダイアログ")
        self.desktop.key("Tab", "Tab")
        self.hear(r"^1 コンボボックス")
        self.hear(r"^最小の目")
        self.desktop.key("Tab")
        self.hear(r"^6 コンボボックス")
        self.hear(r"^最大の目")
        self.desktop.key("Down")
        self.hear(r"通知 7")
        self.desktop.key("Tab")
        self.hear(r"^2 コンボボックス")
        self.hear(r"^ミルバネの数")
        print("Orca said:\n  " + "\n  ".join(self.spoken()))

