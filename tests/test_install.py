# What the build installs, and the Debian package made from it, as a desktop and a distribution
# take them.
import glob
import os
import re
import struct

from conftest import need, run

BUILD = os.environ.get("STERNZEIT_BUILD", "")


def test_files(work):
    """Installed into a prefix of its own, the build puts in place what a desktop needs: the
    program and its command line, its menu entry, its icon and its software-centre description,
    all of which the desktop's own validators accept without a remark."""
    need("desktop-file-validate", "appstreamcli")
    run("cmake", "--install", BUILD, "--prefix", work)
    for program in ("sternzeit", "sternzeit-convert"):
        assert os.access(work / "bin" / program, os.X_OK), f"bin/{program} is missing or not executable"
    assert run(work / "bin/sternzeit-convert", "--own", "201312,0512") == "05.12.2013 12:00\n"
    entry = work / "share/applications/sternzeit.desktop"
    assert {"Exec=sternzeit", "Icon=sternzeit"} <= set(entry.read_text().splitlines())
    for size in (16, 24, 32, 48, 64, 128, 256):
        # A PNG's width and height stand in its header at bytes 16 to 23.
        header = (work / f"share/icons/hicolor/{size}x{size}/apps/sternzeit.png").read_bytes()[16:24]
        assert struct.unpack(">II", header) == (size, size), f"the {size} px icon has another size"
    assert '<svg xmlns="http://www.w3.org/2000/svg"' in (work / "share/icons/hicolor/scalable/apps/sternzeit.svg").read_text()
    metainfo = work / "share/metainfo/org.sternzeit.sternzeit.metainfo.xml"
    assert '<launchable type="desktop-id">sternzeit.desktop</launchable>' in metainfo.read_text()
    assert run("desktop-file-validate", entry) == ""
    report = run("appstreamcli", "validate", "--pedantic", "--no-net", metainfo)
    assert not re.search(r"^[EWIP]: ", report, re.M), report


def test_package(work):
    """The Debian package of the build holds to what a distribution asks: lintian finds no error
    and no warning, nor a leftover section or missing hardening, and every program in it passes
    hardening-check."""
    need("cpack", "lintian", "hardening-check", "dpkg-deb", "dpkg-shlibdeps", "readelf")
    # cpack brings the build up to date, which after a build has nothing to do, and installs it
    # into a folder of its own.
    run("cpack", "-G", "DEB", "--config", f"{BUILD}/CPackConfig.cmake", "-B", work)
    [deb] = glob.glob(f"{work}/*.deb")
    report = run("lintian", "--fail-on", "error,warning", "--display-info", "--pedantic", deb)
    print(report)
    assert not re.search(r"^I: \S+ (binary-has-unneeded-section|hardening-)", report, re.M), report
    # A program can carry the control-flow marking only where this system's C start files do.
    start_files = run(os.environ["CXX"], "-print-file-name=Scrt1.o").strip()
    options = os.environ.get("HARDENING_OPTIONS", "").split()
    if "IBT, SHSTK" not in run("readelf", "-n", start_files):
        options.append("--nocfprotection")
    run("dpkg-deb", "-x", deb, work / "root")
    for program in glob.glob(f"{work}/root/usr/bin/*"):
        print(run("hardening-check", *options, program))
