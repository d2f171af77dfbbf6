# A thin layer over CMake: installs what is missing, configures, builds, runs.
# QT=6 builds and tests against Qt 6 instead of Qt 5, in build-qt6/.
QT           ?= 5
ifeq ($(QT),6)
BUILD_DIR    ?= build-qt6
QT_PACKAGES   = qt6-base-dev qt6-base-dev-tools qt6-wayland qt6-translations-l10n
else
BUILD_DIR    ?= build
QT_PACKAGES   = qtbase5-dev qtbase5-dev-tools qtwayland5 qttranslations5-l10n
endif
SANITIZE_DIR ?= build-sanitize
WINDOWS_DIR  ?= build-windows
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS         ?= $(shell nproc)

# Debian packages the build, the tests and the look need: a metric-compatible Arial for the
# main window's large texts, time zone data for the tests, Google Benchmark for bench/, the
# validators the install test runs, the Windows resource compiler the resource test tries, the
# package tools and checkers of make package and its test, the virtual X server, tray host and
# pointer the tray test and the Wayland move test work with, the compositor (with Qt's Wayland
# plugin above) the Wayland tests run the windows on, the X library the program asks the X server
# for its tray with, the session bus, watcher and panel of the test with a panel that shows status
# icons, the accessibility bus, and Qt's German catalogue; the system tests are pytest functions
# in Debian's Python, which reads the buses through its GObject bindings (with those of the
# accessibility client) and the screen and the pictures with Pillow.
PACKAGES = cmake make g++ $(QT_PACKAGES) fonts-liberation2 tzdata libbenchmark-dev \
           desktop-file-utils appstream binutils-mingw-w64-x86-64 \
           dpkg-dev lintian devscripts xvfb xauth trayer xdotool weston libx11-dev \
           dbus haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils at-spi2-core \
           python3 python3-pytest python3-gi gir1.2-atspi-2.0 python3-pil
FUZZ_PACKAGES = clang libclang-rt-14-dev
# The Windows build: the cross compiler in its posix threads variant and its binutils, dpkg's
# source unpacker for Qt's source package, the icon tools that read the executables' resources,
# Wine with a virtual X server beneath to run the programs, the pointer the real program's test
# clicks with and the clipboard it reads, NSIS for the installer, the tools that pack the zip
# tighter and put its members in order, Qt's German texts to compile into the programs, Liberation
# Sans to stand in for Arial there too, and Python with pytest and Pillow for the tests that run
# the programs.
WINDOWS_PACKAGES = cmake make g++ dpkg-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
                   icoutils wine wine64 xvfb xauth xdotool xclip nsis advancecomp strip-nondeterminism \
                   qttranslations5-l10n fonts-liberation2 python3 python3-pytest python3-pil
FUZZERS = convert_input
LINT_PACKAGES = clang-tidy
BENCH_PACKAGES = xvfb xauth libx11-dev libxdamage-dev
FRESH_PACKAGES = mmdebstrap
# The picture generator: the font of the lettering, the quantizer of the emblem's palette, the
# writer of the Windows icon and the packer of the PNG files.
PICTURE_PACKAGES = fonts-urw-base35 pngquant icoutils optipng
# The check that two builds give the same bytes: the clones, the clock set later, a second
# locale, and the tool that shows what differs.
REPRODUCIBLE_PACKAGES = git faketime locales-all diffoscope
# The steps of fresh-test, one make call each; a step with arguments goes in quotes.
FRESH_STEPS ?= test "test QT=6" run lint
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Every time stamp the builds write (in the packages, the Windows programs' headers, the resource
# bundle) is that of the last commit, unless SOURCE_DATE_EPOCH names another: the same commit
# gives the same bytes, wherever and whenever it is built (make reproducible checks it).
ifndef SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH := $(shell git -C "$(CURDIR)" log -1 --format=%ct 2>/dev/null)
endif
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

.PHONY: all deps configure build run test sanitize fuzz lint package bench pictures fresh-test windows-package windows test-windows reproducible faults clean

all: build

# Installs those of the given Debian packages that are missing; quiet when none is. Another
# install under way (a second build, the system's own updates) is waited for, not failed on.
define install_missing
	@missing=$$(for p in $(1); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get -o DPkg::Lock::Timeout=600 update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTERNZEIT_QT=$(QT)

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/app/sternzeit

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DSTERNZEIT_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

# Each harness runs FUZZ_SECONDS seconds from the committed seeds; any finding fails the run
# and leaves its input in $(FUZZ_DIR).
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTERNZEIT_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZERS))
	@for fuzzer in $(FUZZERS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$fuzzer && \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		$(FUZZ_DIR)/tests/fuzz/fuzz_$$fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=$(FUZZ_DIR)/$$fuzzer- $(FUZZ_DIR)/corpus/$$fuzzer tests/fuzz/corpus/$$fuzzer \
			|| exit 1; \
	done

# A Debian package in $(BUILD_DIR), checked by the package test, with SHA256SUMS beside it. Only
# what it holds is built, not the tests. The members of the .deb take the modes of the files cpack
# writes for them, hence the umask.
package: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target package_files
	cd $(BUILD_DIR) && umask 022 && cpack -G DEB

# clang-tidy with the checks of .clang-tidy over the sources the build compiles, as its compile
# database lists them, so that it needs no header the build does not (bench/startupwatch.cpp is
# built, and linted, only where `make bench` installed the X damage headers). Left out are what
# moc, uic and rcc write (*_autogen/) and the fuzzing harnesses, which only `make fuzz` builds,
# with clang. Any warning fails. The build comes first: the sources include the forms' headers.
lint: build
	$(call install_missing,$(LINT_PACKAGES))
	@sources=$$(python3 -c 'import json, sys; print(*sorted({e["file"] for e in json.load(sys.stdin)}), sep="\n")' \
		<$(BUILD_DIR)/compile_commands.json | grep -v -e '_autogen/' -e '/tests/fuzz/') && \
	echo "clang-tidy over the $$(echo "$$sources" | wc -l) sources of $(BUILD_DIR)/compile_commands.json" && \
	echo "$$sources" | xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD_DIR) --quiet

# The stardate arithmetic under Google Benchmark, then the start-up, idle and memory record
# against a minimal program under a virtual X server, and ten minutes of the seconds shown (about
# 11 minutes; see bench/README.md).
bench: deps
	$(call install_missing,$(BENCH_PACKAGES))
	$(MAKE) build
	$(BUILD_DIR)/bench/bench_stardate
	bench/perf-record.sh -b $(BUILD_DIR)

# Draws the pictures under resources/ anew (see tools/README.md); the build itself only takes
# the committed ones.
pictures: configure
	$(call install_missing,$(PICTURE_PACKAGES))
	cmake --build $(BUILD_DIR) -j $(JOBS) --target makepictures
	$(BUILD_DIR)/tools/makepictures resources

# The README's two commands on a new machine: a minimal Debian 12 root made by mmdebstrap (cached
# for a week in /var/cache/sternzeit-fresh-root), a clone of HEAD in it, there `make test`, a
# `make run` that must still be running after 10 s and `make lint` (see tools/fresh-root.sh). A
# step that builds for Windows takes this machine's Qt for Windows, built here first if need be.
fresh-test:
	$(call install_missing,$(FRESH_PACKAGES))
	$(if $(findstring windows,$(FRESH_STEPS)),$(call install_missing,$(WINDOWS_PACKAGES)))
	$(SUDO) tools/fresh-root.sh $(FRESH_STEPS)

# What a Windows user downloads, in $(WINDOWS_DIR): the two programs for 64-bit Windows, built
# against a Qt cross-built from Debian's Qt source once per machine (tools/windows-qt.sh; about a
# quarter of an hour the first time), the folder with everything they need, the zip of it and the
# installer, with SHA256SUMS beside them. Only what ships is built. A Qt built with other options
# lies in another folder, and the build then starts afresh: CMake keeps the Qt it found first.
windows-package:
	$(call install_missing,$(WINDOWS_PACKAGES))
	qt=$$($(SUDO) tools/windows-qt.sh) && \
	fresh=$$(grep -qxF "Qt5_DIR:PATH=$$qt/lib/cmake/Qt5" $(WINDOWS_DIR)/CMakeCache.txt 2>/dev/null || echo --fresh) && \
	cmake $$fresh -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=tools/windows-x64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DSTERNZEIT_WINDOWS_QT="$$qt"
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target windows_folder
	cd $(WINDOWS_DIR) && cpack

# The same, and beside it the tests, benchmarks and tools for Windows.
windows: windows-package
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The same tests with the same ctest, run under Wine in Wine prefixes that tests/with_wine.sh
# makes on first use and the last test removes (see tests/CMakeLists.txt).
test-windows: windows
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j $(JOBS)

# Builds the Debian package and the Windows folder, zip and installer twice, from two clones of
# HEAD in different folders, a year apart, with different umask, locale and time zone, and
# compares them byte for byte; diffoscope shows what differs (tools/reproducible.sh).
reproducible:
	$(call install_missing,$(PACKAGES) $(WINDOWS_PACKAGES) $(REPRODUCIBLE_PACKAGES))
	JOBS=$(JOBS) tools/reproducible.sh

# Each single-point fault of tools/faults/catalogue.tsv alone, in a scratch worktree of HEAD with
# one build folder: built, and the tests that must catch it run, then the rest; one line per fault
# (hours on two cores). FAULTS="01 17" or a pattern runs some; FAULTS_CHECK=1 only makes sure each
# still applies to HEAD.
faults: $(if $(FAULTS_CHECK),,deps)
	JOBS=$(JOBS) tools/faults/run.py $(if $(FAULTS_CHECK),--check) $(FAULTS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
