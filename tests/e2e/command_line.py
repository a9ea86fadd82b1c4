"""The program's command line, as a terminal user meets it: every option
and refusal, in every kind of locale, byte for byte; run on the build, on
the installed package and under Wine."""

import re
import subprocess

from desktop import VERSION

HINT = "Try 'denshi-milbane --help' for more information."
HINT_JA = "詳しくは 'denshi-milbane --help' を実行してください。"
# The help as a terminal shows it: lines within 79 columns (a Japanese
# letter two), in Japanese never broken before a 、 or after a 「.
HELP = """\
Usage: denshi-milbane [OPTION]...
Roll up to four dice and see each value and their total (電子ミルバネ).

Opens the dice window. Start, stop and reset the dice with its action button;
choose their range of values and how many there are in its settings. Nothing is
read from or written to files.

Options:
  -h, --help        show this help and exit
  -v, --version     show the version and exit

The toolkit's own options, such as -platform and -style, are accepted.
"""
HELP_JA = """\
使用法: denshi-milbane [オプション]...
最大 4 個のサイコロを振り、目と合計を表示します (電子ミルバネ)。

サイコロのウィンドウを開きます。操作ボタンでスタート、ストップ、リセットし、
「設定」で目の範囲と個数を選びます。ファイルの読み書きは一切しません。

オプション:
  -h, --help        このヘルプを表示して終了する
  -v, --version     バージョンを表示して終了する

-platform や -style など、ツールキット自身のオプションも使えます。
"""
NO_DISPLAY = ("denshi-milbane: cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is\nset); "
              "start it from a desktop session, or on a virtual display with xvfb-run\n")
NO_DISPLAY_JA = ("denshi-milbane: ディスプレイを開けません (DISPLAY も WAYLAND_DISPLAY も設定され\nてい"
                 "ません)。デスクトップのセッションから、または xvfb-run で仮想ディスプレイ上\nで起動して"
                 "ください。\n")
DISPLAY_4242_JA = ("denshi-milbane: ディスプレイ :4242 を開けません。デスクトップのセッションから、\n"
                   "または xvfb-run で仮想ディスプレイ上で起動してください。\n")
UNSET = {"DISPLAY": None, "WAYLAND_DISPLAY": None}
VERSION_EN = (f"denshi-milbane {VERSION}\nCopyright (C) 2026 電子ミルバネ開発チーム\n\nLicense: "
              "proprietary. All rights reserved by 電子ミルバネ開発チーム.\n")
VERSION_JA = (f"denshi-milbane {VERSION}\nCopyright (C) 2026 電子ミルバネ開発チーム\n\nライセンス: "
              "プロプライエタリ。著作権は電子ミルバネ開発チームが保有します。\n")
# Arguments, locale and environment, exit status, stdout, stderr: lines
# within 79 columns (a Japanese letter two), byte for byte in the locale's
# encoding; no locale is plain C, where the program writes UTF-8.
COMMAND_LINE = [
    (["--help"], {}, 0, HELP, ""),
    (["-h"], {"LANG": "C.UTF-8"}, 0, HELP, ""),
    (["--version"], {}, 0, VERSION_EN, ""),
    (["-v"], {}, 0, VERSION_EN, ""),
    (["-platform", "xcb", "--version"], {}, 0, VERSION_EN, ""),
    (["--bogus"], {"LANG": "C.UTF-8"}, 2, "", f"denshi-milbane: unknown option '--bogus'\n{HINT}\n"),
    (["--サイコロ"], {}, 2, "", f"denshi-milbane: unknown option '--サイコロ'\n{HINT}\n"),
    # A name longer than a line stands whole on a line of its own.
    (["--" + "b" * 70], {}, 2, "", f"denshi-milbane: unknown option\n'--{'b' * 70}'\n{HINT}\n"),
    (["-bogus=1"], {}, 2, "", f"denshi-milbane: unknown option '-bogus'\n{HINT}\n"),
    (["-platform"], {}, 2, "", f"denshi-milbane: missing value after '-platform'\n{HINT}\n"),
    (["--help=x"], {}, 2, "", f"denshi-milbane: '--help' takes no value\n{HINT}\n"),
    (["dice.txt"], {}, 2, "",
     "denshi-milbane: unexpected argument 'dice.txt': it takes no file or other\nargument\n"
     f"{HINT}\n"),
    ([], UNSET, 1, "", NO_DISPLAY),
    ([], {"LANG": "C.UTF-8", **UNSET}, 1, "", NO_DISPLAY),
    (["-style", "fusion"], {"DISPLAY": ":4242", "WAYLAND_DISPLAY": None}, 1, "",
     "denshi-milbane: cannot open the display :4242; start it from a desktop session,\nor on a "
     "virtual display with xvfb-run\n"),
    (["--help"], {"LC_ALL": "ja_JP.UTF-8"}, 0, HELP_JA, ""),
    (["--version"], {"LC_ALL": "ja_JP.UTF-8"}, 0, VERSION_JA, ""),
    (["--bogus"], {"LANG": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: 不明なオプション '--bogus' です。\n{HINT_JA}\n"),
    (["-platform"], {"LC_ALL": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: '-platform' のあとに値がありません。\n{HINT_JA}\n"),
    (["--help=x"], {"LC_ALL": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: '--help' は値を取りません。\n{HINT_JA}\n"),
    (["dice.txt"], {"LC_ALL": "ja_JP.UTF-8"}, 2, "",
     f"denshi-milbane: 余分な引数 'dice.txt' です。ファイルなどの引数は取りません。\n{HINT_JA}\n"),
    ([], {"LC_ALL": "ja_JP.UTF-8", **UNSET}, 1, "", NO_DISPLAY_JA),
    ([], {"LC_ALL": "ja_JP.UTF-8", "DISPLAY": ":4242", "WAYLAND_DISPLAY": None}, 1, "",
     DISPLAY_4242_JA),
    # In a Japanese locale of another encoding, in that encoding.
    (["--help"], {"LC_ALL": "ja_JP.eucJP"}, 0, HELP_JA, ""),
    (["--version"], {"LC_ALL": "ja_JP.eucJP"}, 0, VERSION_JA, ""),
    (["--さいころ"], {"LC_ALL": "ja_JP.eucJP"}, 2, "",
     f"denshi-milbane: 不明なオプション '--さいころ' です。\n{HINT_JA}\n"),
    # Longer than its bytes in EUC-JP once read as UTF-8 (three bytes a kana).
    (["--ミルバネの目をすべて表示"], {"LC_ALL": "ja_JP.eucJP"}, 2, "",
     f"denshi-milbane: 不明なオプション '--ミルバネの目をすべて表示' です。\n{HINT_JA}\n"),
    ([], {"LC_ALL": "ja_JP.eucJP", **UNSET}, 1, "", NO_DISPLAY_JA),
    ([], {"LC_ALL": "ja_JP.eucJP", "DISPLAY": ":4242", "WAYLAND_DISPLAY": None}, 1, "",
     DISPLAY_4242_JA),
    # Where the encoding holds no Japanese, in English, "?" for what it lacks.
    (["--help"], {"LANG": "en_US.ISO-8859-1"}, 0, HELP.replace("電子ミルバネ", "??????"), ""),
    (["--größe"], {"LANG": "en_US.ISO-8859-1"}, 2, "",
     f"denshi-milbane: unknown option '--größe'\n{HINT}\n"),
    (["würfelergebnisse-übersicht.txt"], {"LANG": "en_US.ISO-8859-1"}, 2, "",
     "denshi-milbane: unexpected argument 'würfelergebnisse-übersicht.txt': it takes\nno file or "
     f"other argument\n{HINT}\n"),
    ([], {"LANG": "en_US.ISO-8859-1", **UNSET}, 1, "", NO_DISPLAY),
    (["--help"], {"LANGUAGE": "ja", "LANG": "C"}, 0, HELP, ""),
    (["--bogus"], {"LANGUAGE": "ja", "LANG": "C"}, 2, "",
     f"denshi-milbane: unknown option '--bogus'\n{HINT}\n"),
    ([], {"LANGUAGE": "ja", "LANG": "C", **UNSET}, 1, "", NO_DISPLAY),
]


def encoding(changes):
    """The encoding of a row's locale, as Python names it."""
    locale = changes.get("LC_ALL") or changes.get("LANG") or "C"
    return {"eucJP": "euc_jp", "ISO-8859-1": "latin-1"}.get(locale.rpartition(".")[2], "utf-8")


def command_line_env(base, changes):
    """`base` with no locale of its own, then a row's changes."""
    env = {**{k: v for k, v in base.items() if not re.match("LANG|LC_", k)}, **changes}
    return {k: v for k, v in env.items() if v is not None}


def check_command_line(test, command, base, rows=COMMAND_LINE, written=None):
    """Each row run as `command` and its arguments, in `base` and the row's
    locale, its output read in the locale's encoding (or the one `written`):
    a byte that encoding cannot read shows as \\x.. and fails the row."""
    test.maxDiff = None
    for args, changes, status, out, err in rows:
        with test.subTest(args=args, env=changes):
            code = encoding(changes)
            result = subprocess.run([*command, *(a.encode(code) for a in args)],
                                    env=command_line_env(base, changes), timeout=300,
                                    capture_output=True)
            code = written or code
            stdout = result.stdout.decode(code, errors="backslashreplace")
            stderr = result.stderr.decode(code, errors="backslashreplace")
            test.assertEqual(result.returncode, status, f"exit status; stderr: {stderr}")
            test.assertEqual(stderr, err, f"standard error, read as {code}")
            test.assertEqual(stdout, out, f"standard output, read as {code}")


def locale_of(changes):
    """A row's language list and locale."""
    return changes.get("LANGUAGE"), changes.get("LC_ALL") or changes.get("LANG") or "C"


def one_per_locale(rows=COMMAND_LINE):
    """The first row of each locale: what an installed program's table needs,
    the rest being the build's."""
    firsts = {}
    for row in rows:
        firsts.setdefault(locale_of(row[1]), row)
    return list(firsts.values())
