# The desktop parts the system tests run the real programs among: a virtual X server, a session
# bus, the accessibility bus, a tray host, a status panel, a Wayland compositor, a Wine prefix.
# Each fixture starts its part for one test, in the test's private folder, and stops it on every
# way out: in pytest's teardown, or, should pytest be killed outright, by the kernel, which ends
# each process started here with it. A part that cannot run here skips the test.
import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import types
from pathlib import Path

import pytest

TESTS = Path(__file__).parent
WINE = ["sh", TESTS / "with_wine.sh"]
# "Schließen" in the main window, the lowest of the three buttons in its right-hand column.
CLOSE_BUTTON = (680, 219)
WATCHER = "org.kde.StatusNotifierWatcher"


def need(*tools):
    for tool in tools:
        if not shutil.which(tool):
            pytest.skip(f"no {tool} here (make installs it)")


def run(*command, check=True, **options):
    """Runs a command to its end and gives its output; fails the test unless it succeeds."""
    result = subprocess.run(list(map(str, command)), capture_output=True, text=True, **options)
    if check and result.returncode != 0:
        pytest.fail(f"{' '.join(map(str, command))} ended with {result.returncode}:\n{result.stdout}{result.stderr}")
    return result.stdout


def wait_for(what, condition, seconds=10, process=None, skip=False):
    """Asks until condition gives something true, and returns that; fails (or skips) after the
    seconds given, or as soon as the given process has ended."""
    end = time.monotonic() + seconds
    while not (value := condition()):
        if (process and process.poll() is not None) or time.monotonic() > end:
            why = f"ended with {process.returncode}" if process and process.returncode is not None else f"{seconds} s"
            (pytest.skip if skip else pytest.fail)(f"no {what} ({why})")
        time.sleep(0.1)
    return value


@pytest.fixture
def work(monkeypatch):
    """A private folder for the test, which is its runtime folder too, as a session's is."""
    with tempfile.TemporaryDirectory(prefix="sternzeit-test-") as folder:
        monkeypatch.setenv("XDG_RUNTIME_DIR", folder)
        yield Path(folder)


def stop(process):
    process.terminate()
    process.wait(10)


@pytest.fixture
def start(work):
    """Starts a process that ends with the test at the latest, its output logged in the test's folder."""
    started = []

    def start(*command, **options):
        log = work / f"{len(started)}-{Path(command[0]).name}.log"
        with log.open("w") as output:
            options = {"stdout": output, "stderr": subprocess.STDOUT, **options}
            started.append(subprocess.Popen(["setpriv", "--pdeathsig", "TERM", *map(str, command)], **options))
        started[-1].log = log
        return started[-1]
    yield start
    for process in reversed(started):
        with contextlib.suppress(subprocess.TimeoutExpired):
            stop(process)
        process.kill()
        # Shown in the report of a test that failed.
        print(f"--- {' '.join(process.args[3:])}\n{process.log.read_text(errors='replace')[-4000:]}")


class XServer:
    def __init__(self, display):
        self.display = display

    def windows(self):
        """The shown windows with a name or a class: (name, x, y, width, height) of each."""
        found = []
        for window in run("xdotool", "search", "--onlyvisible", "--name", "--class", ".", check=False).split():
            # A window may go between the search and these questions.
            answer = run("xdotool", "getwindowname", window, "getwindowgeometry", "--shell", window, check=False)
            place = dict(re.findall(r"^(X|Y|WIDTH|HEIGHT)=(\d+)$", answer, re.M))
            if len(place) == 4:
                found.append((answer.split("\n")[0], *(int(place[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))))
        return found

    def shown(self):
        return {window[0] for window in self.windows()}

    def grab(self):
        """The screen as its user sees it, a picture."""
        from PIL import ImageGrab
        return ImageGrab.grab(xdisplay=self.display)


@pytest.fixture
def xserver(start, monkeypatch, request):
    """A virtual X server of 1280 x 1024 pixels, or of the size given as the fixture's parameter,
    which keeps what is published on it while the test runs, as a desktop session's does."""
    need("Xvfb", "xdotool")
    # The server picks a free display itself and names it once it takes clients; another one
    # started at the same moment may take the same, so there are three tries.
    for _ in range(3):
        answer, server_end = os.pipe()
        start("Xvfb", "-displayfd", server_end, "-nolisten", "tcp", "-noreset", "-screen", "0", getattr(request, "param", "1280x1024") + "x24",
              pass_fds=[server_end])
        os.close(server_end)
        with os.fdopen(answer) as display:
            if number := display.readline().strip():
                monkeypatch.setenv("DISPLAY", f":{number}")
                return XServer(f":{number}")
    pytest.skip("Xvfb gave no display in three tries")


class Bus:
    """A connection to a D-Bus bus; a question without an answer gives None."""

    def __init__(self, address):
        from gi.repository import Gio
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        self.connection = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)

    def call(self, service, path, interface, method, signature=None, *arguments):
        from gi.repository import Gio, GLib
        try:
            return self.connection.call_sync(service, path, interface, method, signature and GLib.Variant(
                signature, arguments), None, Gio.DBusCallFlags.NO_AUTO_START, 5000, None).unpack()
        except GLib.Error:
            return None

    def property(self, service, path, interface, name):
        answer = self.call(service, path, "org.freedesktop.DBus.Properties", "Get", "(ss)", interface, name)
        return answer and answer[0]

    def names(self):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames")[0]


@pytest.fixture
def session_bus(start, monkeypatch):
    need("dbus-daemon")
    daemon = start("dbus-daemon", "--session", "--nofork", "--print-address=1", stdout=subprocess.PIPE)
    address = daemon.stdout.readline().decode().strip() or pytest.skip("the session bus did not start")
    monkeypatch.setenv("DBUS_SESSION_BUS_ADDRESS", address)
    return Bus(address)


@pytest.fixture
def accessibility_bus(xserver, session_bus, start):
    """The accessibility bus with its registry, where the display's programs join the desktop."""
    launcher, registry = "/usr/libexec/at-spi-bus-launcher", "/usr/libexec/at-spi2-registryd"
    need(launcher, registry)
    # Started on the display, as a desktop session starts it, the launcher also publishes the bus
    # on the X server. Qt 5 connects there at once; asked through the session bus alone, it went
    # unseen in every other start.
    start(launcher, "--launch-immediately")
    address = wait_for("accessibility bus", lambda: session_bus.call(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"), skip=True)[0]
    # A program joins the desktop only once the registry is there to take it.
    start(registry)
    wait_for("accessibility registry", lambda: Bus(address).call("org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus", "NameHasOwner", "(s)", "org.a11y.atspi.Registry")[0], skip=True)


@pytest.fixture
def tray_host(xserver, start):
    """A panel at the top right of the X server with a system tray in it."""
    need("trayer")
    host = start("trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32")
    wait_for("tray host", lambda: "panel" in xserver.shown(), process=host, skip=True)


@pytest.fixture
def status_panel(xserver, session_bus, start):
    """A panel that shows status icons, on the X server, and the watcher that icons and panels
    register with, both started and stopped by the test when it likes: .start(), .stop()."""
    need("status-notifier-watcher", "gtk-sni-tray-standalone")
    panel = types.SimpleNamespace(running=[])

    def start_panel():
        first = not panel.running
        # The panel draws on the X server also beside a Wayland compositor, and without the
        # accessibility bus.
        panel.running = [start("status-notifier-watcher"), start(
            "gtk-sni-tray-standalone", "--top", "--end", "--size", "32",
            env={**os.environ, "GDK_BACKEND": "x11", "NO_AT_BRIDGE": "1"})]
        wait_for("status panel registered with the watcher", lambda: session_bus.property(
            WATCHER, "/StatusNotifierWatcher", WATCHER, "IsStatusNotifierHostRegistered"), skip=first)
    panel.start = start_panel
    panel.stop = lambda: [stop(process) for process in reversed(panel.running)]
    return panel


@pytest.fixture
def weston(start, monkeypatch, request):
    """A Wayland compositor without any input device; with the parameter "seat", a window on the X
    server instead, whose pointer and keyboard are its seat, showing each client over its output."""
    need("weston")
    options = ["--backend=headless-backend.so"]
    if getattr(request, "param", None) == "seat":
        request.getfixturevalue("xserver")
        options = ["--backend=x11-backend.so", "--use-pixman", "--shell=kiosk-shell.so"]
    compositor = start("weston", *options, "--socket=sternzeit-test", "--idle-time=0", "--no-config")
    wait_for("Wayland compositor", Path(os.environ["XDG_RUNTIME_DIR"], "sternzeit-test").exists,
             process=compositor, skip=True)
    monkeypatch.setenv("WAYLAND_DISPLAY", "sternzeit-test")
    # The EGL driver that Qt's Wayland plugin loads is gone again by the leak check, so only the
    # full call stack of its allocations shows that they come from the plugin.
    if "LSAN_OPTIONS" in os.environ:
        monkeypatch.setenv("LSAN_OPTIONS", os.environ["LSAN_OPTIONS"] + ":fast_unwind_on_malloc=0")


@pytest.fixture
def sternzeit(start):
    """Starts the real program on the platform given."""
    return lambda platform, **environment: start(
        os.environ["STERNZEIT"], env={**os.environ, "QT_QPA_PLATFORM": platform, **environment})


@pytest.fixture
def wine_prefix(work, monkeypatch, request):
    """A Wine prefix of the test's own, made as with_wine.sh makes the Windows build's prefixes;
    registry settings, lines of a .reg file given as the fixture's parameter, go in with it."""
    need("wine", "wineserver")
    for variable, value in (("WINEPREFIX", work / "wine-prefix"), ("WINE_PREFIX_SETTINGS", getattr(request, "param", "")),
                            ("WINEDEBUG", "-all"), ("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=")):
        monkeypatch.setenv(variable, str(value))
    run("sh", TESTS / "with_wine.sh", "--prefix", check=False)
    if not (work / "wine-prefix/.made").exists():
        pytest.skip("Wine cannot make a prefix here")
    yield work / "wine-prefix"
    run("wineserver", "-k", check=False)


def pytest_sessionfinish(session, exitstatus):
    """A run whose tests all skipped counts as skipped for CTest, too."""
    outcomes = session.config.pluginmanager.get_plugin("terminalreporter").stats
    if exitstatus == 0 and outcomes.get("skipped") and not outcomes.get("passed"):
        session.exitstatus = 77
