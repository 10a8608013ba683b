"""Pictures of the program's boxes: the X window that shows a box, taken
whole. The X server sees every program's windows, 32-bit ones included;
boxhelper.exe tells where the box's text and buttons are. A window that
cannot hold them, or a capture smaller than the window, gives no picture
but the reason, so that the demo fails loudly instead.

A box laid out without room for its text, which is what Wine 8.0's wow64
mode does to a 32-bit program's boxes (it measures and draws no text for
them), can be drawn again by the 64-bit show_box.exe with the title, text
and buttons boxhelper.exe read from it, and that box pictured (redraw)."""

import os
import re
import subprocess

from e2e import wineenv

# The MessageBoxA style that shows the buttons boxhelper.exe reports.
STYLES = {("OK",): 0x0, ("YES", "NO"): 0x4}

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
    if without_room_for_text(box):
        width, height = box.text_area
        problems.append(f"its text area is {width}x{height} pixels: the box "
                        "was laid out without room for its text")
    if not holds(window, box.parts):
        left, top, w, h = box.parts
        problems.append(
            f"its window is {window[2]}x{window[3]} at {window[0]},"
            f"{window[1]} and its text and buttons ({w}x{h} at {left},{top}) "
            "lie outside it")
    return problems


def without_room_for_text(box):
    """Whether boxhelper.exe saw the box laid out with no room for its
    text."""
    if box.text_area is None:
        return False
    width, height = box.text_area
    return bool(box.text) and (width <= 0 or height <= 0)


def to_redraw(box, build):
    """Whether the box is drawn again to be pictured (redraw): a box of
    the i686 build laid out without room for its text. Any other box too
    small for its parts fails the demo."""
    return build == "i686" and without_room_for_text(box)


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


def redraw(m, box, path):
    """Writes to path the picture of box drawn again on the machine m by
    show_box.exe, a 64-bit program, with the title, text and buttons
    boxhelper.exe read from it (no other box of its title may show).
    Returns (path, []) or (None, why not)."""
    style = STYLES.get(box.buttons)
    if style is None or box.icon:
        icon = " and an icon" if box.icon else ""
        return None, ["show_box.exe draws no box with the buttons "
                      f"{'/'.join(box.buttons)}{icon}"]
    box_file = os.path.join(m.dir, os.path.basename(path) + ".box")
    with open(box_file, "wb") as f:
        f.write((box.title + "\n" + box.text).encode("cp1252"))
    shower = subprocess.Popen(
        ["wine", wineenv.find_program("show_box.exe"), str(style),
         wineenv.to_windows_path(box_file)], env=m.env,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        again = m.answer("read", timeout=60, process=shower)
        if again is None:
            return None, ["show_box.exe showed no box"]
        if (again.title, again.buttons, again.text) != (
                box.title, box.buttons, box.text):
            return None, [f"show_box.exe drew another box: {again!r}"]
        return take(m.env, box.title, again, path)
    finally:
        if shower.poll() is None:
            m.answer(box.buttons[-1].lower(), timeout=10, process=shower)
        try:
            shower.wait(timeout=30)
        except subprocess.TimeoutExpired:
            shower.kill()
            shower.wait()
