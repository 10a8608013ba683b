"""Pictures of the program's boxes: the X window that shows a box, taken
whole. The X server sees every program's windows, 32-bit ones included;
boxhelper.exe tells where the box's text and buttons are. A window that
cannot hold them, or a capture smaller than the window, gives no picture
but the reason, so that the demo fails loudly instead."""

import os
import re
import subprocess

# A window of `xwininfo -root -tree`: id, name, size, place in its parent
# and on the screen ("+-3" for a negative coordinate).
_TREE_LINE = re.compile(r'^\s*(0x[0-9a-fA-F]+) "(.*)": .*\s(\d+)x(\d+)'
                        r'\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$')


def x_windows(tree_text, title):
    """[(window id, (left, top, width, height) on the screen)] of the
    windows named title in the output of xwininfo -root -tree."""
    found = []
    for line in tree_text.splitlines():
        match = _TREE_LINE.match(line)
        if match and match.group(2) == title:
            width, height, left, top = (int(match.group(n))
                                        for n in (3, 4, 5, 6))
            found.append((match.group(1), (left, top, width, height)))
    return found


def holds(outer, inner):
    """Whether the rectangle outer (left, top, width, height) holds inner."""
    x, y, w, h = outer
    a, b, c, d = inner
    return x <= a and y <= b and a + c <= x + w and b + d <= y + h


def box_problems(box, window):
    """Why a picture of the X window at window (left, top, width, height;
    None when no X window shows the box) would not show box (a
    machine.Box with its geometry); [] when it would."""
    if window is None:
        return ["no X window of its title shows it"]
    if box.parts is None or box.text_area is None:
        return ["boxhelper.exe gave no geometry of it"]
    problems = []
    width, height = box.text_area
    if box.text and (width <= 0 or height <= 0):
        problems.append(f"its text area is {width}x{height} pixels: the box "
                        "was laid out without room for its text")
    if not holds(window, box.parts):
        left, top, w, h = box.parts
        problems.append(
            f"its window is {window[2]}x{window[3]} at {window[0]},"
            f"{window[1]} and its text and buttons ({w}x{h} at {left},{top}) "
            "lie outside it")
    return problems


def png_size(path):
    """(width, height) of a PNG file, from its IHDR chunk."""
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return (0, 0)
    return (int.from_bytes(head[16:20], "big"),
            int.from_bytes(head[20:24], "big"))


def take(env, title, box, path):
    """Writes the picture of box (shown in a window named title on
    env["DISPLAY"]) to path. Returns (path, []) or (None, why not)."""
    display = env["DISPLAY"]
    tree = subprocess.run(["xwininfo", "-display", display, "-root", "-tree"],
                          capture_output=True, text=True, env=env).stdout
    windows = x_windows(tree, title)
    # The window that holds the box's parts, else the largest one named so.
    windows.sort(key=lambda w: (box.parts is not None and holds(w[1],
                                                                 box.parts),
                                w[1][2] * w[1][3]))
    window_id, window = windows[-1] if windows else (None, None)
    problems = box_problems(box, window)
    if problems:
        return None, problems
    done = subprocess.run(["import", "-display", display, "-window",
                           window_id, path], env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=30)
    size = png_size(path) if os.path.exists(path) else (0, 0)
    if done.returncode != 0 or size[0] < window[2] or size[1] < window[3]:
        if os.path.exists(path):
            os.remove(path)
        return None, [f"the picture came out {size[0]}x{size[1]}, the window "
                      f"is {window[2]}x{window[3]}"]
    return path, []
