# The real program on real Linux desktops, as its user and the desktop's own parts meet it: in a
# tray on the X server, in a panel that shows status icons over the session bus, on a Wayland
# compositor, and through the accessibility bus as a screen reader reads it.
import datetime
import os
import re
import time

import gi
import pytest

from conftest import CLOSE_BUTTON, TESTS, WATCHER, run, wait_for

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

WINDOWS = {"Sternzeit", "Umrechnung", "Info"}


def windows_become(shown, expected):
    wait_for(f"windows {sorted(expected)} shown and no other", lambda: shown() & WINDOWS == expected, 5)


def times_of_now(clock, own, formula):
    """The time shown is now, and the stardates are those of its minute as sternzeit-convert gives them."""
    shown = datetime.datetime.strptime(clock, "%d.%m.%Y - %H:%M:%S")
    assert abs((datetime.datetime.now() - shown).total_seconds()) < 5, f"{clock} is not now"
    minute = shown.strftime("%d.%m.%Y %H:%M")
    assert run(os.environ["STERNZEIT_CONVERT"], minute) == f"Mein Format: {own}\nAnderes Format: {formula}\n", minute


def test_tray(xserver, session_bus, tray_host, sternzeit):
    """In a tray on the X server, beside a session bus without a panel, a click on the icon hides
    and shows the clock and its menu opens the dialogs; with the clock hidden, closing the last
    dialog leaves the program running until "Beenden" ends it. Clicks and keys go in through the
    X server, as a user's do."""
    program = sternzeit("xcb")
    windows_become(xserver.shown, {"Sternzeit"})
    # Until the tray host takes it in, the icon stands alone at the screen's top left corner.
    icon = wait_for("icon in the tray", lambda: [(x + width // 2, y + height // 2) for name, x, y, width, height
                                                  in xserver.windows() if name == "sternzeit" and x > 640 and y < 40])[0]

    def click(button):
        # Never so close to the last click that the two make a double click.
        time.sleep(0.6)
        run("xdotool", "mousemove", *icon, "click", button)

    def choose(entry):
        click(3)
        wait_for("tray menu", lambda: [window for window in xserver.windows() if window[0] == "sternzeit" and window[4] > 40])
        run("xdotool", "key", *["Down"] * (entry + 1), "Return")

    # Entries of the menu by their place in it, and clicks on the icon; the icon and the first
    # entry, named for what it does, hide and show the clock.
    for step, shown in ((1, {"Sternzeit", "Umrechnung"}), (2, WINDOWS), ("icon", {"Umrechnung", "Info"}), (0, WINDOWS),
                        (0, {"Umrechnung", "Info"}), ("icon", WINDOWS), (0, {"Umrechnung", "Info"})):
        click(1) if step == "icon" else choose(step)
        windows_become(xserver.shown, shown)
    for dialog, shown in (("Umrechnung", {"Info"}), ("Info", set())):
        window = run("xdotool", "search", "--onlyvisible", "--name", f"^{dialog}$").split()[0]
        run("xdotool", "windowfocus", "--sync", window, "key", "Escape")
        windows_become(xserver.shown, shown)
    time.sleep(1.5)
    assert program.poll() is None, "closing the last dialog ended the program with the clock in the tray"
    choose(3)
    assert program.wait(10) == 0, "Beenden"


ITEM, MENU = "org.kde.StatusNotifierItem", "com.canonical.dbusmenu"


class Item:
    """The clock's item as a panel finds it through the watcher, by a bus name that may carry a
    path, and reads and clicks it."""

    def __init__(self, bus):
        self.bus = bus
        names = bus.property(WATCHER, "/StatusNotifierWatcher", WATCHER, "RegisteredStatusNotifierItems") or []
        self.service, _, path = ([name for name in names if name.split("/")[0] in bus.names()] or [""])[-1].partition("/")
        self.path = "/" + (path or "StatusNotifierItem")
        self.menu = self.service and self.get("Menu")

    @staticmethod
    def answering(bus):
        item = Item(bus)
        return item.menu and item

    def get(self, name):
        return self.bus.property(self.service, self.path, ITEM, name)

    def entries(self):
        """The shown entries of the menu, a separator as "--", with their numbers; as a panel does,
        it lets the menu bring itself up to date first."""
        self.bus.call(self.service, self.menu, MENU, "AboutToShow", "(i)", 0)
        _, (_, _, children) = self.bus.call(self.service, self.menu, MENU, "GetLayout", "(iias)", 0, -1, [])
        return [("--" if entry.get("type") == "separator" else entry["label"], number)
                for number, entry, _ in children if entry.get("visible", True)]

    def click(self, what):
        if what == "icon":
            return self.bus.call(self.service, self.path, ITEM, "Activate", "(ii)", 0, 0) is not None
        return self.bus.call(self.service, self.menu, MENU, "Event", "(isvu)", dict(self.entries())[what], "clicked",
                             GLib.Variant("i", 0), 0) is not None


def check_status_panel(bus, panel, program, shown):
    """A panel that comes after the program, as at a login, reads the clock's icon, tooltip and
    menu over the bus, and its clicks there work; when the panel goes the clock comes back, and
    when it returns, so does the icon. Read and clicked through a connection of the test's own,
    as the panel does."""
    windows_become(shown, {"Sternzeit"})
    # Past its first ticks without a panel, the clock is a window alone, as without a tray.
    time.sleep(1.5)
    assert shown() & (WINDOWS | {"sternzeit"}) == {"Sternzeit"}
    assert not [name for name in bus.names() if name.startswith(ITEM)], "an icon without a panel"
    panel.start()
    item = wait_for("icon in the panel", lambda: Item.answering(bus))

    from PIL import Image
    pictures = item.get("IconPixmap")
    assert pictures
    for width, height, pixels in pictures:
        own = Image.open(TESTS.parent / f"resources/icons/sternzeit-{width}.png").convert("RGBA").tobytes()
        assert Image.frombytes("RGBA", (width, height), bytes(pixels), "raw", "ARGB").tobytes() == own, f"{width} px"

    def tooltip():
        _, _, title, text = item.get("ToolTip")
        return f"{title}\n{text}" if text else title
    first = wait_for("tooltip", tooltip, 2)
    lines = re.fullmatch(r"Aktuelle Zeit: (.*)\nMein Sternzeitformat: (.*)\nAnderes Sternzeitformat: (.*)", first)
    assert lines, first
    times_of_now(*lines.groups())
    wait_for("tooltip that follows the clock", lambda: tooltip() != first, 2.5)

    assert [label for label, _ in item.entries()] == ["Uhr verbergen", "Berechnen", "Info", "--", "Beenden"]
    for click, clock_shown, windows in (("icon", False, set()), ("icon", True, {"Sternzeit"}),
                                        ("Uhr verbergen", False, set()), ("Uhr zeigen", True, {"Sternzeit"}),
                                        ("Berechnen", True, {"Sternzeit", "Umrechnung"}), ("Info", True, WINDOWS),
                                        ("icon", False, {"Umrechnung", "Info"})):
        assert item.click(click), click
        windows_become(shown, windows)
        # The first entry, as the panel shows it, offers the opposite of what the clock is doing.
        assert item.entries()[0][0] == ("Uhr verbergen" if clock_shown else "Uhr zeigen")

    panel.stop()
    windows_become(shown, WINDOWS)
    assert not [name for name in bus.names() if name.startswith(ITEM)], "the icon outlived its panel"
    panel.start()
    assert wait_for("icon back in the panel", lambda: Item.answering(bus)).click("icon")
    windows_become(shown, {"Umrechnung", "Info"})


def test_status_panel_on_x11(xserver, session_bus, status_panel, sternzeit):
    program = sternzeit("xcb")
    check_status_panel(session_bus, status_panel, program, xserver.shown)
    # Without a panel the program ends when its last window closes, as without a tray.
    status_panel.stop()
    windows_become(xserver.shown, WINDOWS)
    time.sleep(0.6)
    main = run("xdotool", "search", "--onlyvisible", "--name", "^Sternzeit$").split()[0]
    run("xdotool", "mousemove", "--window", main, *CLOSE_BUTTON, "click", "1")
    assert program.wait(10) == 0, "Schließen without a panel"


def wayland_windows(log):
    """The titles of the program's shown windows, as its own protocol log names them."""
    titles = {}
    for toplevel, request, title in re.findall(r"-> (xdg_toplevel@\d+)\.(set_title|destroy)\((?:\"(.*)\")?", log.read_text()):
        titles[toplevel] = title if request == "set_title" else None
    return set(titles.values()) - {None}


def test_status_panel_on_wayland(session_bus, status_panel, weston, sternzeit):
    program = sternzeit("wayland", WAYLAND_DEBUG="client")
    check_status_panel(session_bus, status_panel, program, lambda: wayland_windows(program.log))
    assert Item(session_bus).click("Beenden")
    assert program.wait(10) == 0, "Beenden with the clock hidden"


@pytest.mark.parametrize("weston", ["seat"], indirect=True)
def test_wayland(xserver, weston, sternzeit):
    """On Wayland the splash comes first, then the main window alone; a drag with the left button
    on the main window asks the compositor to move it, and the program places nothing itself, as
    its own protocol log shows. The compositor has the X server's pointer, and leaves its windows
    where they are, so that the drag reaches the program."""
    log = sternzeit("wayland", WAYLAND_DEBUG="client").log
    wait_for("main window, the splash gone from in front of it", lambda: wayland_windows(log) == {"Sternzeit"})
    assert re.findall(r'-> xdg_toplevel@\d+\.set_title\("(.*)"\)', log.read_text()) == ["sternzeit", "Sternzeit"]
    [(x, y, width, height)] = [place for name, *place in xserver.windows() if name.startswith("Weston Compositor")]
    run("xdotool", "mousemove", x + width // 2, y + height // 2, "sleep", 0.2, "mousedown", 1, "sleep", 0.2,
        "mousemove_relative", 40, 20, "sleep", 0.2, "mouseup", 1)
    drag = wait_for("left press and release delivered by the compositor", lambda: re.search(
        r"wl_pointer@\d+\.button\(.*, 272, 1\)(.*)wl_pointer@\d+\.button\(.*, 272, 0\)", log.read_text(), re.S))[1]
    assert re.search(r"-> xdg_toplevel@\d+\.move\(", drag), "the press did not ask the compositor to move the window"
    assert "set_window_geometry" not in drag, "the program placed the window itself"


class ScreenReader:
    """Finds the program's windows and their parts on the accessibility bus by role and name, and
    acts through the interfaces a screen reader uses. The client library keeps the first bus it
    finds for the life of its process, as CTest runs one test."""

    def pump(self, seconds):
        """Lets the bus's events in, by which the client keeps its view of the desktop up to date."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while GLib.MainContext.default().iteration(False):
                pass
            time.sleep(0.02)

    def children(self, node):
        return [child for child in map(node.get_child_at_index, range(node.get_child_count())) if child]

    def find_all(self, node, role, name=None):
        return [found for child in self.children(node) for found in [child] * (
            child.get_role_name() == role and name in (None, child.get_name())) + self.find_all(child, role, name)]

    def find(self, node, role, name):
        found = self.find_all(node, role, name)
        assert len(found) == 1, f"one {role} named {name!r}, found {len(found)}"
        return found[0]

    def window(self, name):
        def lookup():
            self.pump(0.1)
            apps = [app for app in self.children(Atspi.get_desktop(0)) if app.get_name() == "sternzeit"]
            return next((window for app in apps for window in self.children(app) if window.get_name() == name), None)
        return wait_for(f"window named {name!r} on the accessibility bus", lookup)

    def press(self, node):
        assert "Action" in node.get_interfaces(), f"{node.get_name()!r} cannot be pressed"
        Atspi.Action.do_action(node, 0)
        self.pump(0.3)

    def text(self, node):
        node.clear_cache()
        return Atspi.Text.get_text(node, 0, -1) if "Text" in node.get_interfaces() else None

    def bright(self, screen, node, x=0, width=None):
        """Rows of what is seen on black on the screen where the node is, from x on, across the
        width given or as far as it is high: brighter than a dark grey, well above what
        antialiasing leaves."""
        place = node.get_extents(Atspi.CoordType.SCREEN)
        return ["".join(" x"[screen.getpixel((place.x + x + i, place.y + j)) > 60] for i in range(width or place.height))
                for j in range(place.height)]


def test_accessibility(accessibility_bus, xserver, sternzeit):
    """A screen reader reads each window by its name, each value by its caption and each picture
    by what it shows, hears nothing of the clock's ticking, and presses, ticks and types its way
    through a conversion. On the screen, where the places the screen reader gives are looked at,
    the conversion dialog's options show their boxes on the black window, and the lines of its
    help text end inside their place rather than being cut off at its edge."""
    sternzeit("xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    reader = ScreenReader()
    clock = reader.window("Sternzeit")
    captions = ("Aktuelle Zeit", "Mein Sternzeitformat", "Anderes Sternzeitformat")
    values = [reader.find(clock, "label", caption) for caption in captions]
    for caption, value in zip(captions, values):
        relations = [r for r in value.get_relation_set() if r.get_relation_type() == Atspi.RelationType.LABELLED_BY]
        assert [r.get_target(i).get_name() for r in relations for i in range(r.get_n_targets())] == [caption + ":"]
    shown = wait_for("time shown", lambda: reader.text(values[0]))
    times_of_now(*map(reader.text, values))
    # Two seconds of ticking: the clock moves on, and nothing is announced.
    heard = []
    listener = Atspi.EventListener.new(lambda event: heard.append(event.type))
    for kind in ("property-change:accessible-name", "property-change:accessible-description", "text-changed",
                 "visible-data-changed"):
        listener.register("object:" + kind)
    reader.pump(2.5)
    assert reader.text(values[0]) != shown, "the clock stands still"
    assert not heard, "the ticking clock is announced"

    reader.press(reader.find(clock, "push button", "Berechnen"))
    dialog = reader.window("Umrechnung")
    # A window is shown first and painted after.
    screen = wait_for("dialog painted", lambda: (lambda screen: "x" in "".join(reader.bright(
        screen, reader.find(dialog, "push button", "Berechnen"), width=40)) and screen)(xserver.grab().convert("L")))
    # The empty box in front of an option lies in a square as high as the option at its left; its
    # edges are lines some ten pixels long, where letters give only short strokes.
    for caption in ("Datum->Sternzeit", "Sternzeit->Datum", "Mein Format", "Nach der Formel"):
        lines = " ".join(reader.bright(screen, reader.find(dialog, "check box", caption))).split()
        assert max(map(len, lines), default=0) >= 10, f"the box in front of {caption!r} does not show on black"
    [help_text] = [label for label in reader.find_all(dialog, "label") if label.get_name().startswith("Unter dem")]
    right_edge = help_text.get_extents(Atspi.CoordType.SCREEN).width - 1
    assert "x" not in "".join(reader.bright(screen, help_text, right_edge, 1)), "the help text is cut off"

    field = reader.find(dialog, "text", "Eingabe")
    date = "05.12.2013 12:00"
    assert date in field.get_description(), "the input does not say what to type"
    Atspi.EditableText.insert_text(field, 0, date, len(date))
    reader.pump(0.2)
    assert reader.text(field) == date
    for caption in ("Datum->Sternzeit", "Mein Format", "Nach der Formel"):
        box = reader.find(dialog, "check box", caption)
        reader.press(box)
        assert box.get_state_set().contains(Atspi.StateType.CHECKED), f"{caption} not ticked"
    reader.press(reader.find(dialog, "push button", "Berechnen"))
    for line in ("Ausgabe von 05.12.2013 12:00 ist:", "Mein Format: 201312,0512", "Anderes Format: -147073.234375"):
        wait_for(f"line {line!r}", lambda: reader.pump(0.1) or reader.find_all(dialog, "label", line), 5)

    reader.press(reader.find(clock, "push button", "Info"))
    about = reader.window("Info")
    reader.find(about, "push button", "Schließen")
    for window in (clock, dialog, about):
        assert all(picture.get_name() for picture in reader.find_all(window, "image")), window.get_name()
