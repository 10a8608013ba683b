"""Pictures of the boxes (scripts/demo/picture.py): which X window shows a
box, and when a picture of it could not show the box."""

import unittest

from demo import picture
from e2e.machine import Box

TITLE = "VANTORIS Uninstall"
TREE = """
  Root window id: 0x50d (the root window) (has no name)
     4 children:
     0xc00001 "VANTORIS Uninstall": ("seldunax.exe" "seldunax.exe")  43x51+490+358  +490+358
     0xc00002 "Default IME": ("seldunax.exe" "seldunax.exe")  1x1+0+0  +0+0
     0xc00003 "VANTORIS Uninstall Help": ("x" "x")  500x400+0+0  +0+0
        0xa00005 "VANTORIS Uninstall": ("seldunax.exe" "x")  327x141+-3+2  +345+-7
"""


def box(window, parts, text_area, text="Sure?"):
    return Box(TITLE, ("YES", "NO"), False, text, window, parts, text_area)


class Pictures(unittest.TestCase):
    def test_windows_of_the_title_with_their_place_on_the_screen(self):
        self.assertEqual(picture.x_windows(TREE, TITLE),
                         [("0xc00001", (490, 358, 43, 51)),
                          ("0xa00005", (345, -7, 327, 141))])

    def test_a_picture_must_hold_the_box(self):
        """problems: how many reasons a picture would not show the box;
        redrawn: whether the i686 build's box is drawn again instead (an
        x86_64 box never is: it fails the demo)."""
        window = (345, 301, 333, 166)
        rows = [
            ("laid out", window, box(window, (362, 331, 299, 125), (299, 91)),
             0, False),
            ("parts at the very edges", window,
             box(window, (345, 301, 333, 166), (299, 91)), 0, False),
            # What Wine's wow64 mode drew for the i686 program.
            ("no room for the text, parts outside", (490, 358, 43, 51),
             box((490, 358, 43, 51), (510, 388, 37, 32), (1, 0)), 2, True),
            ("one pixel past the right edge", window,
             box(window, (345, 301, 334, 166), (299, 91)), 1, False),
            ("empty text needs no room", window,
             box(window, (362, 331, 299, 125), (0, 0), text=""), 0, False),
            ("no X window", None, box(window, (362, 331, 9, 9), (9, 9)), 1,
             False),
            ("no geometry reported", window, box(None, None, None), 1, False),
        ]
        for label, shown, the_box, problems, redrawn in rows:
            with self.subTest(label):
                self.assertEqual(len(picture.box_problems(the_box, shown)),
                                 problems)
                self.assertEqual((picture.to_redraw(the_box, "i686"),
                                  picture.to_redraw(the_box, "x86_64")),
                                 (redrawn, False))


if __name__ == "__main__":
    unittest.main()
