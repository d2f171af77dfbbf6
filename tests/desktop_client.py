# What the clients of with_accessibility_bus.sh share: finding the running program's windows and
# their parts through the accessibility bus by role and name, as a screen reader does, pressing
# them through their actions, and keeping the tally of what failed.
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)
    return condition


def verdict():
    print("PASS" if not failures else f"{len(failures)} failed")
    return 1 if failures else 0


# Lets the bus's events reach this client, which keeps its view of the desktop up to date by them.
def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def children(node):
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def find_all(node, role, name=None):
    found = []
    for child in children(node):
        if child is None:
            continue
        if child.get_role_name() == role and (name is None or child.get_name() == name):
            found.append(child)
        found += find_all(child, role, name)
    return found


def find(node, role, name):
    found = find_all(node, role, name)
    check(len(found) == 1, f"one {role} named {name!r}, found {len(found)}")
    return found[0] if found else None


def await_node(lookup, what, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump(0.1)
        node = lookup()
        if node is not None:
            return node
    check(False, what)
    sys.exit(1)


def program():
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app is not None and app.get_name() == "sternzeit":
            return app
    return None


def window(name):
    app = program()
    windows = [w for w in children(app) if w is not None and w.get_name() == name] if app else []
    return windows[0] if windows else None


def press(node):
    if check("Action" in node.get_interfaces(), f"{node.get_name()!r} can be pressed"):
        Atspi.Action.do_action(node, 0)
    pump(0.3)
