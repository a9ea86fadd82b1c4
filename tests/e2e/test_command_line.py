"""The command-line table on the build's own program, in seconds: a changed
message fails its row before the slow tests have begun. The installed
package runs a row of each locale, Windows the rows Wine can carry."""

import os
import unittest

from command_line import check_command_line
from desktop import BINARY


class CommandLineTest(unittest.TestCase):
    def test_table(self):
        check_command_line(self, [BINARY], {k: v for k, v in os.environ.items()
                                             if k != "QT_QPA_PLATFORM"})
