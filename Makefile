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
# for its tray with, the session bus, watcher, panel and bus client of the test with a panel that
# shows status icons, the accessibility bus with the Python client the accessibility tests read
# the program through, and Qt's German catalogue.
PACKAGES = cmake make g++ $(QT_PACKAGES) fonts-liberation2 tzdata libbenchmark-dev \
           desktop-file-utils appstream binutils-mingw-w64-x86-64 \
           dpkg-dev lintian devscripts xvfb xauth trayer xdotool weston libx11-dev \
           dbus libglib2.0-bin haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils \
           at-spi2-core python3 python3-gi gir1.2-atspi-2.0
FUZZ_PACKAGES = clang libclang-rt-14-dev
# The Windows build: the cross compiler in its posix threads variant and its binutils, dpkg's
# source unpacker for Qt's source package, the icon tools that read the executables' resources,
# Wine with a virtual X server beneath to run the programs and the keyboard the real program's
# test types on, NSIS for the installer, Qt's German texts to ship beside the programs, and
# Liberation Sans to stand in for Arial there too.
WINDOWS_PACKAGES = cmake make g++ dpkg-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
                   icoutils wine wine64 xvfb xauth xdotool nsis qttranslations5-l10n fonts-liberation2
FUZZERS = own_stardate formula_stardate date_input convert_input
LINT_PACKAGES = clang-tidy
BENCH_PACKAGES = xvfb xauth libx11-dev libxdamage-dev
FRESH_PACKAGES = debootstrap
# The picture generator: the font of the lettering, the quantizer of the emblem's palette and the
# writer of the Windows icon.
PICTURE_PACKAGES = fonts-urw-base35 pngquant icoutils
# The steps of fresh-test, one make call each; a step with arguments goes in quotes.
FRESH_STEPS ?= test "test QT=6" run lint
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build run test sanitize fuzz lint package bench pictures fresh-test windows test-windows clean

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

# A Debian package in $(BUILD_DIR), checked by the package test.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

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

# The README's two commands on a new machine: a minimal Debian 12 root (cached for a week in
# /var/cache/sternzeit-fresh-root), a clone of HEAD in it, there `make test`, a `make run` that
# must still be running after 10 s and `make lint` (see tools/fresh-root.sh). A step that builds
# for Windows takes this machine's Qt for Windows, which is built here first if need be.
fresh-test:
	$(call install_missing,$(FRESH_PACKAGES))
	$(if $(findstring windows,$(FRESH_STEPS)),$(call install_missing,$(WINDOWS_PACKAGES)))
	$(SUDO) tools/fresh-root.sh $(FRESH_STEPS)

# The programs and the tests for 64-bit Windows in $(WINDOWS_DIR), against a Qt cross-built from
# Debian's Qt source once per machine (tools/windows-qt.sh; about half an hour the first time);
# then what a Windows user downloads: the folder with everything the programs need, the zip of
# it and the installer.
windows:
	$(call install_missing,$(WINDOWS_PACKAGES))
	qt=$$($(SUDO) tools/windows-qt.sh) && \
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=tools/windows-x64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DSTERNZEIT_WINDOWS_QT="$$qt"
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	cmake --build $(WINDOWS_DIR) --target windows_folder
	cd $(WINDOWS_DIR) && cpack

# The same tests with the same ctest, run under Wine in a Wine prefix that they make before the
# first and remove after the last (see tests/CMakeLists.txt).
test-windows: windows
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
