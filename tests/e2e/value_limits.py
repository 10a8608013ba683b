"""Control-file values at the 255-character limit, read by the system's own
INI reader: a [delete] value of more than 255 characters deletes nothing,
written in double quotes, single quotes or none (the reader drops the
quotes, and a buffer that the quoted value just fills its last character
too, so that a cut value could pass for a whole one), while a quoted value
that fits names its file whole; message pieces keep every character of a
quoted value up to 255."""

import sys
from dataclasses import dataclass

from e2e import scenario
import texts
from e2e.machine import WINDOWS_DIR

DISK = "C:\\DISK"
WININIT = WINDOWS_DIR + "\\WININIT.INI"


@dataclass
class Entry:
    directory: str   # each entry has its own, so that its files are its own
    length: int      # of the path named by the value
    quote: str       # written around the value: "", '"' or "'"

    def path(self, length=None):
        """The path (or its first length characters): the directory and
        one long name."""
        whole = self.directory + "\\"
        whole += "N" * (self.length - len(whole))
        return whole[:length or self.length]

    @property
    def deleted(self):
        return self.length <= 255


ENTRIES = [
    Entry("C:\\D1", 256, '"'),
    Entry("C:\\D2", 256, "'"),
    Entry("C:\\D3", 256, ""),
    Entry("C:\\D4", 257, '"'),
    Entry("C:\\D5", 1000, '"'),
    Entry("C:\\D6", 255, '"'),
    Entry("C:\\D7", 255, "'"),
    Entry("C:\\D8", 254, '"'),
]
# The longest path the files can be laid out under.
LONGEST = 259

# A quoted piece of 255 characters keeps its last one; a quoted piece of 256
# is cut to its first 255, as a bare one is.
PIECE_255 = "x" * 254 + "E"
PIECE_256 = "y" * 255 + "Z"
REBOOT_TEXT = PIECE_255 + "\n" + PIECE_256[:255]


@scenario.scenario()
def quoted_values_at_the_limit(m):
    m.install_program(DISK)
    m.write_ini(DISK + "\\SELDUNAX.INI", {
        "delete": [e.quote + e.path() + e.quote for e in ENTRIES],
        "REBOOTNOW": ['"' + PIECE_255 + '"', "CR", "'" + PIECE_256 + "'"],
    })
    laid_out = {}  # path: whether the run must delete it
    for e in ENTRIES:
        for length in {e.length, e.length - 1, 255, 254}:
            if length <= min(e.length, LONGEST):
                laid_out[e.path(length)] = e.deleted and length == e.length
    for path in laid_out:
        m.write(path, path)

    result = m.run(DISK, ["SELDUNAX.INI"], answers=["yes", "ok"])
    scenario.expect_run(result, 0, [(texts.CONFIRM_FULL, "YES NO"),
                                    (REBOOT_TEXT, "OK")])
    m.finish()

    problems = [f"{'kept' if deleted else 'deleted'}: {path[:12]}... "
                f"({len(path)} characters)"
                for path, deleted in sorted(laid_out.items())
                if m.exists(path) == deleted]
    if m.exists(WININIT):
        entered = [line for line in m.read_text(WININIT).splitlines()
                   if line.upper().startswith("NUL=C:\\D")]
        problems += [f"entered in WININIT.INI: {line[:16]}..."
                     for line in entered]
    if problems:
        raise AssertionError("\n".join(problems))


if __name__ == "__main__":
    sys.exit(scenario.main())
