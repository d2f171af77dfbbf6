# The desktop parts that the system tests run the real programs among: a virtual X server, a
# session bus, the accessibility bus, a tray host, a status panel, a Wayland compositor, a Wine
# prefix. Each fixture starts its part for one test in the test's private folder and stops it on
# every way out: in pytest's teardown, or, should pytest itself be killed, by the kernel, which
# ends every process started here with it. A part that cannot run here skips the test.
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

TESTS = Path(__file__).parent
WINE = ["sh", str(TESTS / "with_wine.sh"), os.environ.get("STERNZEIT_WINDOWS_QT", "")]
# "Schließen" in the main window, the lowest of the three buttons in its right-hand column.
CLOSE_BUTTON = (680, 219)


def need(*tools):
    for tool in tools:
        if not shutil.which(tool):
            pytest.skip(f"no {tool} here (make installs it)")


def run(*command, check=True, **options):
    """Runs a command to its end and gives its output; fails the test unless it succeeds."""
    result = subprocess.run([str(word) for word in command], capture_output=True, text=True, **options)
    if check and result.returncode != 0:
        pytest.fail(f"{' '.join(map(str, command))} ended with {result.returncode}:\n{result.stdout}{result.stderr}")
    return result.stdout


def wait_for(what, condition, seconds=10, process=None, skip=False):
    """Asks condition until it gives something true, and returns that; fails (or skips) after
    the given seconds or as soon as the given process has ended."""
    end = time.monotonic() + seconds
    while not (value := condition()):
        ended = process is not None and process.poll() is not None
        if ended or time.monotonic() > end:
            why = f"ended with {process.returncode}" if ended else f"waited {seconds} s"
            (pytest.skip if skip else pytest.fail)(f"no {what} ({why})")
        time.sleep(0.1)
    return value


class Processes:
    """The processes of one test, each with its output in a log in the test's folder."""

    def __init__(self, folder):
        self.folder = folder
        self.started = []

    def start(self, *command, **options):
        log = self.folder / f"{len(self.started)}-{Path(command[0]).name}.log"
        with log.open("w") as output:
            options = {"stdout": output, "stderr": subprocess.STDOUT, **options}
            process = subprocess.Popen(["setpriv", "--pdeathsig", "TERM", *map(str, command)], **options)
        process.log = log
        self.started.append(process)
        return process

    @staticmethod
    def stop(process):
        process.terminate()
        try:
            return process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            return process.wait()

    def stop_all(self):
        for process in reversed(self.started):
            self.stop(process)
            # Shown with the report of a test that failed.
            print(f"--- {' '.join(process.args[3:])}\n{process.log.read_text(errors='replace')[-4000:]}")


@pytest.fixture
def work(monkeypatch):
    """A private folder for the test, which is also its runtime folder, as a session's is."""
    with tempfile.TemporaryDirectory(prefix="sternzeit-test-") as folder:
        monkeypatch.setenv("XDG_RUNTIME_DIR", folder)
        yield Path(folder)


@pytest.fixture
def processes(work):
    started = Processes(work)
    yield started
    started.stop_all()


class XServer:
    def __init__(self, display):
        self.display = display

    def windows(self):
        """The shown windows that have a name: (name, x, y, width, height) for each."""
        found = []
        for window in run("xdotool", "search", "--onlyvisible", "--name", "--class", ".", check=False).split():
            # A window may go between the search and this question.
            answer = subprocess.run(["xdotool", "getwindowname", window, "getwindowgeometry", "--shell", window],
                                    capture_output=True, text=True).stdout
            place = dict(re.findall(r"^(X|Y|WIDTH|HEIGHT)=(\d+)$", answer, re.M))
            if len(place) == 4:
                found.append((answer.split("\n")[0], *(int(place[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))))
        return found

    def shown(self):
        return {window[0] for window in self.windows()}

    def grab(self):
        """The screen as the user sees it, as a picture."""
        from PIL import ImageGrab
        return ImageGrab.grab(xdisplay=self.display)


@pytest.fixture
def xserver(processes, monkeypatch):
    """A virtual X server of the test's own, whose screen is 1280 x 1024 pixels; it keeps what is
    published on it while the test runs, as a desktop session's server does."""
    need("Xvfb", "xdotool")
    # The server picks a free display itself and names it once it takes clients; another one
    # started at the same moment may take the same one, so there are three tries.
    for _ in range(3):
        ready, ready_to_write = os.pipe()
        processes.start("Xvfb", "-displayfd", ready_to_write, "-nolisten", "tcp", "-noreset",
                        "-screen", "0", "1280x1024x24", pass_fds=[ready_to_write])
        os.close(ready_to_write)
        with os.fdopen(ready) as answer:
            number = answer.readline().strip()
        if number:
            monkeypatch.setenv("DISPLAY", f":{number}")
            return XServer(f":{number}")
    pytest.skip("Xvfb gave no display in three tries")


class Bus:
    """A connection to a D-Bus bus; a question that finds no answer gives None."""

    def __init__(self, address):
        from gi.repository import Gio
        flags = Gio.DBusConnectionFlags
        self.connection = Gio.DBusConnection.new_for_address_sync(
            address, flags.AUTHENTICATION_CLIENT | flags.MESSAGE_BUS_CONNECTION, None, None)

    def call(self, service, path, interface, method, signature=None, *arguments):
        from gi.repository import Gio, GLib
        parameters = GLib.Variant(signature, arguments) if signature else None
        try:
            return self.connection.call_sync(service, path, interface, method, parameters, None,
                                             Gio.DBusCallFlags.NO_AUTO_START, 5000, None).unpack()
        except GLib.Error:
            return None

    def property(self, service, path, interface, name):
        answer = self.call(service, path, "org.freedesktop.DBus.Properties", "Get", "(ss)", interface, name)
        return answer[0] if answer else None

    def names(self):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames")[0]


@pytest.fixture
def session_bus(processes, monkeypatch):
    """A session bus of the test's own."""
    need("dbus-daemon")
    daemon = processes.start("dbus-daemon", "--session", "--nofork", "--print-address=1", stdout=subprocess.PIPE)
    address = daemon.stdout.readline().decode().strip() or pytest.skip("the session bus did not start")
    monkeypatch.setenv("DBUS_SESSION_BUS_ADDRESS", address)
    return Bus(address)


@pytest.fixture
def accessibility_bus(xserver, session_bus, processes):
    """The accessibility bus with its registry, where the programs of the display join the desktop."""
    launcher, registry = "/usr/libexec/at-spi-bus-launcher", "/usr/libexec/at-spi2-registryd"
    need(launcher, registry)
    # Started on the display, as a desktop session starts it, the launcher also publishes the bus
    # on the X server. Qt 5 connects there at once; asked through the session bus alone, it went
    # unseen in every other start.
    processes.start(launcher, "--launch-immediately")
    address = wait_for("accessibility bus", lambda: session_bus.call(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"), skip=True)[0]
    # A program joins the desktop only once the registry is there to take it.
    processes.start(registry)
    bus = Bus(address)
    wait_for("accessibility registry", lambda: bus.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus", "NameHasOwner", "(s)", "org.a11y.atspi.Registry")[0], skip=True)


@pytest.fixture
def tray_host(xserver, processes):
    """A panel at the top right of the X server with a system tray in it (trayer)."""
    need("trayer")
    host = processes.start("trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32")
    wait_for("tray host", lambda: "panel" in xserver.shown(), process=host, skip=True)


WATCHER = "org.kde.StatusNotifierWatcher"


class StatusPanel:
    """A panel that shows status icons on the X server, and the watcher that icons and panels
    register with; the test starts and stops them when it likes."""

    def __init__(self, processes, bus):
        self.processes, self.bus, self.running = processes, bus, []
        self.started_before = False

    def start(self):
        need("status-notifier-watcher", "gtk-sni-tray-standalone")
        # The panel draws on the X server also beside a Wayland compositor, and without the
        # accessibility bus.
        panel_environment = {**os.environ, "GDK_BACKEND": "x11", "NO_AT_BRIDGE": "1"}
        self.running = [self.processes.start("status-notifier-watcher"),
                        self.processes.start("gtk-sni-tray-standalone", "--top", "--end", "--size", "32",
                                             env=panel_environment)]
        wait_for("status panel registered with the watcher", lambda: self.bus.property(
            WATCHER, "/StatusNotifierWatcher", WATCHER, "IsStatusNotifierHostRegistered"), skip=not self.started_before)
        self.started_before = True

    def stop(self):
        for process in reversed(self.running):
            self.processes.stop(process)


@pytest.fixture
def status_panel(xserver, session_bus, processes):
    return StatusPanel(processes, session_bus)


def start_weston(processes, monkeypatch, *options):
    need("weston")
    compositor = processes.start("weston", *options, "--socket=sternzeit-test", "--idle-time=0", "--no-config")
    socket = Path(os.environ["XDG_RUNTIME_DIR"], "sternzeit-test")
    wait_for("Wayland compositor", socket.exists, process=compositor, skip=True)
    monkeypatch.setenv("WAYLAND_DISPLAY", socket.name)
    # The EGL driver that Qt's Wayland plugin loads is gone again by the leak check, so only the
    # full call stack of its allocations shows that they come from the plugin.
    if "LSAN_OPTIONS" in os.environ:
        monkeypatch.setenv("LSAN_OPTIONS", os.environ["LSAN_OPTIONS"] + ":fast_unwind_on_malloc=0")


@pytest.fixture
def weston(work, processes, monkeypatch):
    """A Wayland compositor without any input device."""
    start_weston(processes, monkeypatch, "--backend=headless-backend.so")


@pytest.fixture
def weston_with_seat(xserver, processes, monkeypatch):
    """A Wayland compositor as a window on the X server, whose pointer and keyboard are its seat;
    it shows each client window over its whole output."""
    start_weston(processes, monkeypatch, "--backend=x11-backend.so", "--use-pixman", "--shell=kiosk-shell.so")


@pytest.fixture
def sternzeit(processes):
    """Starts the real program on the given platform; it ends with the test at the latest."""
    def start(platform, **environment):
        return processes.start(os.environ["STERNZEIT"], env={**os.environ, "QT_QPA_PLATFORM": platform, **environment})
    return start


@pytest.fixture
def wine_prefix(work, monkeypatch, request):
    """A Wine prefix of the test's own, as with_wine.sh makes one for the Windows build's tests;
    registry settings in the form of a .reg file's lines, given as the fixture's parameter, go in
    with it."""
    need("wine", "wineserver")
    monkeypatch.setenv("WINEPREFIX", str(work / "wine-prefix"))
    monkeypatch.setenv("WINE_PREFIX_SETTINGS", getattr(request, "param", ""))
    monkeypatch.setenv("WINEDEBUG", "-all")
    monkeypatch.setenv("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe=")
    run("sh", TESTS / "with_wine.sh", "--prefix")
    yield Path(os.environ["WINEPREFIX"])
    subprocess.run(["wineserver", "-k"], capture_output=True)


def pytest_sessionfinish(session, exitstatus):
    """A run whose tests all skipped counts as skipped for CTest, too."""
    outcomes = session.config.pluginmanager.get_plugin("terminalreporter").stats
    if exitstatus == 0 and outcomes.get("skipped") and not outcomes.get("passed"):
        session.exitstatus = 77
