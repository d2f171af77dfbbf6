# What a Windows user downloads, as make windows packed it last: the zip and the installer read
# on this machine, the installer run in a Wine prefix of its own, and the real program on Wine's
# own Windows platform.
import os
import re
import shutil
import subprocess
import time

import pytest
from conftest import CLOSE_BUTTON, TESTS, WINE, need, run, wait_for

BUILD = os.environ.get("STERNZEIT_BUILD", "")
VERSION = os.environ.get("STERNZEIT_VERSION", "")
NAME = f"sternzeit-{VERSION}-windows-x64"
ZIP = f"{BUILD}/{NAME}.zip"
SETUP = f"{BUILD}/sternzeit-{VERSION}-setup.exe"
FOLDER = """LICENSE.txt LIESMICH.txt licenses/Qt-COPYRIGHT.debian.txt licenses/Qt-LICENSE.GPL3.txt
    licenses/Qt-LICENSE.LGPLv3.txt licenses/Qt-SOURCE.txt licenses/gcc-runtime-COPYRIGHT.debian.txt
    licenses/mingw-w64-COPYRIGHT.debian.txt sternzeit-convert.exe sternzeit.exe""".split()
# What each program imports: libraries of every 64-bit Windows, nothing of Qt or the compiler.
IMPORTS = {"sternzeit.exe": """ADVAPI32.dll dwmapi.dll GDI32.dll IMM32.dll KERNEL32.dll msvcrt.dll NETAPI32.dll
               ole32.dll OLEAUT32.dll SHELL32.dll USER32.dll USERENV.dll UxTheme.dll VERSION.dll WINMM.dll WS2_32.dll
               WTSAPI32.dll""".split(),
           "sternzeit-convert.exe": """ADVAPI32.dll KERNEL32.dll msvcrt.dll NETAPI32.dll ole32.dll SHELL32.dll
               USER32.dll USERENV.dll VERSION.dll WINMM.dll WS2_32.dll""".split()}
AS_INVOKER = '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>'
# The zip and the installer of 1.0.0 while Qt and the compiler's runtime lay beside the programs as
# DLLs: one self-contained program file each must take at most half of that.
DLL_ZIP, DLL_SETUP = 10_641_868, 8_486_925


def unpacked_zip(folder):
    folder.mkdir()
    run("cmake", "-E", "tar", "xf", ZIP, cwd=folder)
    assert os.listdir(folder) == [NAME], "the zip holds more than its folder"
    return folder / NAME


def test_files(work):
    """Read with this machine's tools: the zip holds the two programs with their licences and
    readme and nothing else, each program importing only Windows' own libraries, stripped,
    placeable anywhere in memory and keeping its data from running;
    sternzeit.exe opens no console and carries its icon and manifest alone, sternzeit-convert.exe
    is a console program; the installer asks for no administrator rights and shows the icon. Both
    are at most half the size they had with Qt as DLLs."""
    need("x86_64-w64-mingw32-objdump", "wrestool", "icotool")
    assert os.path.getsize(ZIP) <= DLL_ZIP / 2, "the zip is more than half its size with Qt as DLLs"
    assert os.path.getsize(SETUP) <= DLL_SETUP / 2, "the installer is more than half its size with Qt as DLLs"
    folder = unpacked_zip(work / "zip")
    assert sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file()) == FOLDER
    assert b"sternzeit-convert.exe --help" in (folder / "LIESMICH.txt").read_bytes(), "LIESMICH.txt explains nothing"

    subsystems = {}
    for binary in IMPORTS:
        header = run("x86_64-w64-mingw32-objdump", "-p", folder / binary)
        assert sorted(re.findall(r"DLL Name: (\S+)", header), key=str.lower) == IMPORTS[binary], binary
        flags = set(re.findall(r"^\s+([A-Z_]+|\w+ stripped)$", header, re.M))
        # Relocatable, with high-entropy address space layout randomisation and no-execute data.
        assert {"HIGH_ENTROPY_VA", "DYNAMIC_BASE", "NX_COMPAT", "symbols stripped"} <= flags, binary
        assert "relocations stripped" not in flags, binary
        assert " .debug_" not in run("x86_64-w64-mingw32-objdump", "-h", folder / binary), binary
        subsystems[binary] = re.search(r"^Subsystem\s+\S+\s+(.*)$", header, re.M)[1]
    assert subsystems["sternzeit.exe"] == "(Windows GUI)" and subsystems["sternzeit-convert.exe"] == "(Windows CUI)"

    program = folder / "sternzeit.exe"
    resources = run("wrestool", "-l", program).splitlines()
    # Seven icon pictures, the icon group IDI_ICON1 and the manifest as resource 1, in US English.
    kinds = sorted(re.match(r"--type=(\d+) --name=(\S+) --language=(\d+) ", line).groups() for line in resources)
    assert kinds == [("14", "'IDI_ICON1'", "1033"), ("24", "1", "1033")] + [("3", str(n), "1033") for n in range(1, 8)]

    def icon_sizes(binary, group):
        run("wrestool", "-x", "--type=14", f"--name={group}", "-o", work / "icon.ico", binary)
        return sorted(map(int, re.findall(r"--width=(\d+) --height=\1 ", run("icotool", "-l", work / "icon.ico"))))

    def manifest(binary):
        return run("wrestool", "-x", "--raw", "--type=24", "--name=1", binary)

    assert icon_sizes(program, "IDI_ICON1") == [16, 24, 32, 48, 64, 128, 256]
    assert AS_INVOKER in manifest(program)
    assert 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest(program)
    # Wine grants every program all rights, so only the installer's manifest shows that it asks for none.
    assert AS_INVOKER in manifest(SETUP)
    group = re.search(r"--name=(\d+)", run("wrestool", "-l", "--type=14", SETUP))[1]
    assert icon_sizes(SETUP, group) == [16, 24, 32, 48, 64, 128, 256]


def test_setup(xserver, work, monkeypatch, request):
    """Run silently in a new Wine prefix without a way to this machine's files, the installer puts
    the zip's files under the user's own programs and nothing elsewhere but its Start menu entry
    and its entry under the user's installed apps; the programs work from there; and the silent
    uninstaller leaves no file and no key of the user's behind."""
    # Wine, and anything it starts, sees only the test's folders: the prefix, and a home of its
    # own, which the user's Documents and Downloads lead to.
    (work / "home").mkdir()
    monkeypatch.setenv("HOME", str(work / "home"))
    for variable in ("WINEPATH", "QT_PLUGIN_PATH", "QT_QPA_PLATFORM", "XDG_DATA_HOME", "XDG_CONFIG_HOME"):
        monkeypatch.delenv(variable, raising=False)
    prefix = request.getfixturevalue("wine_prefix")
    # Without drive Z: the programs can find nothing but what was installed.
    (prefix / "dosdevices/z:").unlink()
    run("wine", "cmd", "/c", "exit", cwd=prefix / "drive_c")
    run("wineserver", "-w")
    [user] = [user for user in os.listdir(prefix / "drive_c/users") if user != "Public"]
    profile = prefix / "drive_c/users" / user
    installed = profile / "AppData/Local/Programs/Sternzeit"
    windows_folder = rf"C:\users\{user}\AppData\Local\Programs\Sternzeit"
    start_menu = "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Sternzeit.lnk"
    shutil.copy(SETUP, work / "home")

    # The files of the C: drive, the user's Desktop and Documents among them (links to the test's
    # home), and the user's registry without the times Wine notes beside each key and without
    # Wine's own settings, where it keeps its record of this machine's fonts as it sees fit.
    def snapshot():
        registry, wine = [], False
        for line in (prefix / "user.reg").read_text().splitlines():
            if line.startswith("["):
                wine, line = re.match(r"\[Software\\\\Wine[]\\]", line), re.sub(r"\] \d+$", "]", line)
            if not wine and not line.startswith("#time="):
                registry.append(line)
        return set(run("find", "-L", ".", "-mindepth", "1", "-printf", "%P\n", cwd=prefix / "drive_c").split("\n")), registry
    files_before, registry_before = snapshot()

    run("wine", rf"C:\users\{user}\Downloads\{os.path.basename(SETUP)}", "/S")
    assert (installed / "Uninstall.exe").is_file()
    run("diff", "-r", "--exclude=Uninstall.exe", unpacked_zip(work / "zip"), installed)
    # Nothing elsewhere but the Start menu entry, and the folder Programs, which a new profile lacks.
    programs = f"users/{user}/AppData/Local/Programs"
    elsewhere = {path for path in snapshot()[0] - files_before if not path.startswith(programs)}
    assert elsewhere == {f"users/{user}/{start_menu}"}
    # The entry's target, and its icon, which is the program's own.
    shortcut = (profile / start_menu).read_bytes()
    assert f"{windows_folder}\\sternzeit.exe\0".encode() in shortcut
    assert f"{windows_folder}\\sternzeit.exe".encode("utf-16-le") in shortcut

    # The entry under the user's installed apps, all of it.
    size = sum(path.stat().st_size for path in installed.rglob("*") if path.is_file()) // 1024
    key = run("wine", "reg", "query", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sternzeit")
    assert sorted(re.findall(r"^    (\S+)    (REG_\w+)    (.*?)\r?$", key, re.M)) == [
        ("CreatedAppsList", "REG_DWORD", "0x1"),
        ("CreatedFolder", "REG_SZ", rf"C:\users\{user}\AppData\Local\Programs"),
        ("DisplayIcon", "REG_SZ", rf"{windows_folder}\sternzeit.exe,0"),
        ("DisplayName", "REG_SZ", "Sternzeit"), ("DisplayVersion", "REG_SZ", VERSION),
        ("EstimatedSize", "REG_DWORD", hex(size)), ("InstallLocation", "REG_SZ", windows_folder),
        ("NoModify", "REG_DWORD", "0x1"), ("NoRepair", "REG_DWORD", "0x1"),
        ("Publisher", "REG_SZ", "The Sternzeit developers"),
        ("QuietUninstallString", "REG_SZ", rf'"{windows_folder}\Uninstall.exe" /S'),
        ("UninstallString", "REG_SZ", rf'"{windows_folder}\Uninstall.exe"')]

    # The installed programs run from there alone.
    converted = subprocess.run(["wine", rf"{windows_folder}\sternzeit-convert.exe", "05.12.2013 12:00"], capture_output=True)
    assert converted.stdout == b"Mein Format: 201312,0512\r\nAnderes Format: -147073.234375\r\n", converted
    program = subprocess.Popen(["wine", rf"{windows_folder}\sternzeit.exe"])
    time.sleep(10)
    assert program.poll() is None, "the installed sternzeit.exe ended within 10 s"
    # Asked to close as Windows asks when the user logs off, the program must end, and end well.
    run("wine", "taskkill", "/im", "sternzeit.exe")
    assert program.wait(10) == 0

    # The uninstaller copies itself to the user's Temp folder, runs from there and returns at
    # once; the server ends when the copy has, and writes the registry.
    run("wine", rf"{windows_folder}\Uninstall.exe", "/S")
    run("wineserver", "-w")
    files_after, registry_after = snapshot()
    assert registry_after == registry_before
    # That copy alone stays, for Windows to remove at the next start, as for every uninstaller of this kind.
    assert re.search(r"PendingFileRenameOperations.*Temp.*\.tmp.*\.exe", (prefix / "system.reg").read_text())
    assert not [p for p in files_after - files_before if not re.fullmatch(rf"users/{user}/Temp/~nsu[^/]*\.tmp(/Un\.exe)?", p)]
    assert files_before <= files_after, "the uninstaller removed what it had not made"
    assert "sternzeit" not in (prefix / "system.reg").read_text().lower()


def test_platform(xserver, wine_prefix, start, monkeypatch):
    """The real program on Wine's own Windows platform, as a user meets it: the splash comes up,
    then the main window, which is still there ten seconds later; a click on "Schließen" ends the
    program with exit code 0."""
    monkeypatch.delenv("QT_QPA_PLATFORM", raising=False)
    program = start(*WINE, os.environ["STERNZEIT"])

    def shown(name, *sizes):
        return [(x, y) for shown, x, y, width, height in xserver.windows() if shown == name and (width, height) in sizes]
    # Starting Wine and Qt's DLLs takes some seconds on a busy machine; the splash is up for about one.
    wait_for("splash of 300 x 225", lambda: shown("sternzeit", (300, 225)), 60, program)
    # The form asks for 820 x 313; the two strips of 800 pixels and the layout's margins of 11
    # widen it to 822 on every platform.
    main_window = lambda: shown("Sternzeit", (820, 313), (822, 313))
    wait_for("main window of 822 x 313", main_window, 30, program)
    time.sleep(10)
    assert program.poll() is None and main_window(), "the main window went within 10 s"
    x, y = main_window()[0]
    run("xdotool", "mousemove", x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1], "click", "1")
    assert program.wait(30) == 0


def test_copied_alone(xserver, wine_prefix, start, work, monkeypatch):
    """Each program copied alone into an empty folder of a new prefix that has no way to this
    machine's files runs there as it does in its folder: sternzeit.exe on Wine's Windows platform
    shows its splash and main window, its conversion dialog's input offers Qt's context menu in
    German, and "Schließen" ends it with 0; sternzeit-convert.exe explains itself in German and
    converts."""
    need("xclip")
    monkeypatch.delenv("QT_QPA_PLATFORM", raising=False)
    (wine_prefix / "dosdevices/z:").unlink()
    folder = unpacked_zip(work / "zip")
    for program in IMPORTS:
        (wine_prefix / "drive_c" / program).mkdir()
        shutil.copy(folder / program, wine_prefix / "drive_c" / program)

    def wine(program, *arguments):
        return subprocess.run(["wine", rf"C:\{program}\{program}", *arguments], capture_output=True, text=True)
    assert wine("sternzeit-convert.exe", "--help").stdout.startswith("Aufruf: ")
    assert wine("sternzeit-convert.exe", "05.12.2013 12:00").stdout == "Mein Format: 201312,0512\nAnderes Format: -147073.234375\n"

    program = start("wine", r"C:\sternzeit.exe\sternzeit.exe")
    shown = lambda name, size: [(x, y) for shown, x, y, *rest in xserver.windows() if (shown, tuple(rest)) == (name, size)]
    wait_for("splash of 300 x 225", lambda: shown("sternzeit", (300, 225)), 60, program)
    x, y = wait_for("main window of 822 x 313", lambda: shown("Sternzeit", (822, 313)), 30, program)[0]
    run("xdotool", "mousemove", x + COMPUTE_BUTTON[0], y + COMPUTE_BUTTON[1], "click", "1")
    wait_for("conversion dialog", lambda: "Umrechnung" in xserver.shown(), 10, program)
    # The input has the focus; its context menu's "&Kopieren" copies the text only in German.
    run("xdotool", "type", "--delay", "50", "05.12.2013 12:00")
    for key in ("ctrl+a", "Menu", "k"):
        run("xdotool", "key", key)
        time.sleep(1)
    copied = lambda: run("xclip", "-o", "-selection", "clipboard", check=False) == "05.12.2013 12:00"
    wait_for("the input copied through its German context menu", copied, 10, program)
    # Away again, since it may cover "Schließen".
    run("xdotool", "key", "Escape")
    wait_for("conversion dialog gone", lambda: "Umrechnung" not in xserver.shown(), 10, program)
    run("xdotool", "mousemove", x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1], "click", "1")
    assert program.wait(30) == 0


# The splash's and the main window's sizes at 100 %, by their titles; the dialogs' follow their
# texts, in Liberation Sans here, and are taken as they come at 100 %.
SIZES = {"sternzeit": (300, 225), "Sternzeit": (822, 313)}
# In the main window at 100 %: the emblem's top left corner, and the middles of "Berechnen" and "Info".
EMBLEM, COMPUTE_BUTTON, INFO_BUTTON = (75, 101), (680, 94), (680, 157)


@pytest.mark.parametrize("xserver", ["2560x1600"], indirect=True)
def test_display_scale(xserver, wine_prefix, start, monkeypatch):
    """At each display scale a Windows user may choose, kept where Windows keeps it, the real
    program's splash, main window and dialogs are their size times the scale, and the main
    window's emblem is the picture made for twice the pixels, smoothly reduced, not the one made
    for 100 % enlarged."""
    from PIL import Image, ImageChops, ImageStat
    monkeypatch.delenv("QT_QPA_PLATFORM", raising=False)

    def on_black(picture, size):
        picture = Image.open(TESTS.parent / "resources/Bilder" / picture).convert("RGBA")
        return Image.alpha_composite(Image.new("RGBA", picture.size, "black"), picture).resize(size, Image.LANCZOS).convert("RGB")

    def difference(one, other):
        return sum(ImageStat.Stat(ImageChops.difference(one, other)).mean)

    sizes = dict(SIZES)
    for dpi in (96, 120, 144, 168, 192):
        scale = dpi / 96
        run("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", dpi, "/f")
        run("wineserver", "-w")
        program = start(*WINE, os.environ["STERNZEIT"])

        def shown(name):
            width, height = (side * scale for side in sizes.get(name, (0, 0)))
            found = [window for window in xserver.windows() if window[0] == name]
            if dpi == 96 and found:
                sizes.setdefault(name, found[0][3:])
            return [(x, y) for _, x, y, w, h in found if abs(w - width) <= 2 and abs(h - height) <= 2]

        def click(at):
            run("xdotool", "mousemove", round(x + at[0] * scale), round(y + at[1] * scale), "click", "1")
        wait_for(f"splash at {dpi} dpi", lambda: shown("sternzeit"), 60, program)
        x, y = wait_for(f"main window at {dpi} dpi", lambda: shown("Sternzeit"), 30, program)[0]
        # The emblem once the splash has gone.
        wait_for("splash gone", lambda: "sternzeit" not in xserver.shown(), 10, program)
        if scale > 1:
            # As large as Qt makes it (rounding halves up), where the layout's rounding puts it, a
            # pixel or two either way.
            size = int(134 * scale + 0.5), int(112 * scale + 0.5)
            screen = xserver.grab().convert("RGB")
            crops = [screen.crop((left, top, left + size[0], top + size[1]))
                     for left in range(round(x + EMBLEM[0] * scale) - 3, round(x + EMBLEM[0] * scale) + 4)
                     for top in range(round(y + EMBLEM[1] * scale) - 3, round(y + EMBLEM[1] * scale) + 4)]
            reduced, enlarged = (min(difference(crop, on_black(picture, size)) for crop in crops)
                                 for picture in ("logo@2x.png", "logo.png"))
            assert reduced < 6 and reduced < enlarged, (dpi, reduced, enlarged)
        click(INFO_BUTTON)
        wait_for(f"info dialog at {dpi} dpi", lambda: shown("Info"), 10, program)
        # Away again, since it may cover "Berechnen".
        run("xdotool", "key", "Escape")
        wait_for(f"info dialog gone at {dpi} dpi", lambda: "Info" not in xserver.shown(), 10, program)
        click(COMPUTE_BUTTON)
        wait_for(f"conversion dialog at {dpi} dpi", lambda: shown("Umrechnung"), 10, program)

        run("wineserver", "-k")
        program.wait(30)


def test_taskbar(xserver, wine_prefix, start, monkeypatch):
    """On Wine's own Windows platform the native windows carry the minimize box and the window
    menu, the clock minimizes and comes back through them showing this moment, and a minimized
    window comes back by "Info", "Berechnen" or the tray menu's entry that shows the clock."""
    monkeypatch.delenv("QT_QPA_PLATFORM", raising=False)
    program = start(*WINE, os.environ["TASKBAR_TEST"])
    assert program.wait(120) == 0, program.log.read_text()
