#!/usr/bin/python3
# Looks at the running program as its user sees it (with_accessibility_bus.sh starts it on a
# virtual X server whose screen lies in a file): the conversion dialog's options show their boxes
# on the black window, and the help text's lines end inside their place instead of being cut off
# at its edge. The places of the controls come from the accessibility bus, the pixels from the
# screen.
import os
import struct
import sys

from desktop_client import Atspi, await_node, check, find, find_all, press, verdict, window

# Brighter than this is seen on black: a dark grey, well above what antialiasing leaves behind.
visible_gray = 60


class Screen:
    """The X server's screen as an XWD image, 32 bits a pixel, blue in the lowest byte."""

    def __init__(self, path):
        with open(path, "rb") as image:
            data = image.read()
        header = struct.unpack(">25I", data[:100])
        header_size, bits_per_pixel, self.bytes_per_line, colours = header[0], header[11], header[12], header[19]
        check(bits_per_pixel == 32 and header[7] == 0, "the screen has 32 bits a pixel, least significant byte first")
        self.pixels = data[header_size + 12 * colours:]

    def gray(self, x, y):
        offset = y * self.bytes_per_line + 4 * x
        blue, green, red = self.pixels[offset:offset + 3]
        return (red * 11 + green * 16 + blue * 5) // 32

    def seen(self, xs, ys):
        return sum(1 for x in xs for y in ys if self.gray(x, y) > visible_gray)

    # The longest row of seen pixels: a box's edge, where letters give only short strokes.
    def longest_line(self, xs, ys):
        longest = 0
        for y in ys:
            run = 0
            for x in xs:
                run = run + 1 if self.gray(x, y) > visible_gray else 0
                longest = max(longest, run)
        return longest


def place(node):
    extents = node.get_extents(Atspi.CoordType.SCREEN)
    return extents.x, extents.y, extents.width, extents.height


# The empty box in front of an option lies in a square as high as the option at its left; its
# edges are lines some ten pixels long.
def options_show_their_boxes(screen, dialog):
    for caption in ("Datum->Sternzeit", "Sternzeit->Datum", "Mein Format", "Nach der Formel"):
        option = find(dialog, "check box", caption)
        if option is None:
            continue
        x, y, _, height = place(option)
        line = screen.longest_line(range(x, x + height), range(y, y + height))
        check(line >= 10, f"the box in front of {caption!r} shows on black (longest line {line} px)")


def help_text_is_not_cut_off(screen, dialog):
    texts = [label for label in find_all(dialog, "label") if label.get_name().startswith("Unter dem Eingabelabel")]
    if not check(len(texts) == 1, "the dialog shows its help text"):
        return
    x, y, width, height = place(texts[0])
    seen = screen.seen([x + width - 1], range(y, y + height))
    check(seen == 0, f"the help text's lines end before its right edge ({seen} bright pixels on it)")


# The screen once the given control shows on it: a window is shown first and painted after.
def painted(node):
    screen = Screen(os.environ["XVFB_SCREEN"])
    x, y, width, height = place(node)
    return screen if screen.seen(range(x, x + width), range(y, y + height)) else None


def main():
    clock = await_node(lambda: window("Sternzeit"), "the main window is shown")
    press(find(clock, "push button", "Berechnen"))
    dialog = await_node(lambda: window("Umrechnung"), "the conversion dialog is shown")
    button = find(dialog, "push button", "Berechnen")
    if button is None:
        return verdict()
    screen = await_node(lambda: painted(button), "the conversion dialog is painted")
    options_show_their_boxes(screen, dialog)
    help_text_is_not_cut_off(screen, dialog)
    return verdict()


sys.exit(main())
