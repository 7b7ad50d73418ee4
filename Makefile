# Zephyrloom Phone SMS + Contacts Rescue: build, test and run on Debian.
#
#   make run    set up, build, and recover the demo phone's deleted records
#   make test   set up, build, and run every test: natively, under ASan/UBSan,
#               and the Windows build under Wine
#   make dist   the release files (Windows setup program and zip, Debian
#               package) in dist/; make test-dist installs them for real

SHELL := /bin/bash
JOBS ?= 2
NATIVE := build/native
ASAN := build/native-asan
WIN64 := build/win64
CLI := $(NATIVE)/cli/zephyrloom-rescue

# Debian packages the native build and its tests need (python3 reads the
# spreadsheet, the report and the messages' XML back, python3-vobject the
# vCards; tzdata gives the tests their time zones).
PACKAGES := g++ make cmake pkg-config libsqlite3-dev libjsoncpp-dev libgtest-dev libbenchmark-dev nettle-dev python3 \
  python3-vobject tzdata
# A real browser that renders the report, with fonts for its scripts and emoji.
BROWSER_PACKAGES := chromium-headless-shell fonts-dejavu-core fonts-wqy-microhei fonts-noto-color-emoji
FUZZ_PACKAGES := clang
# The release files: the setup program (nsis), the manual page (help2man),
# the package's dependencies (dpkg-dev) and its checks (lintian, man-db).
DIST_PACKAGES := nsis help2man dpkg-dev lintian man-db
# The Windows build: MinGW-w64, Debian's library sources, Wine and Xvfb.
WIN_PACKAGES := g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev tcl \
  wine64 wine xvfb xauth fonts-wine fonts-liberation g++-mingw-w64-i686-posix \
  fonts-wqy-microhei locales

.PHONY: all setup setup-win setup-browser setup-dist build build-asan build-win64 test dist test-dist run run-windows screenshots report-screenshot skin fuzz bench bench-views bench-report demo-phone clean

all: build

# Installs whatever of the packages is missing (needs root, as on CI).
setup:
	@tools/install-packages.sh $(PACKAGES)

setup-browser: setup
	@tools/install-packages.sh $(BROWSER_PACKAGES)

setup-win: setup
	@tools/install-packages.sh $(WIN_PACKAGES)
	@tools/fetch-windows-deps.sh build/deps

setup-dist: setup-win
	@tools/install-packages.sh $(DIST_PACKAGES)

build: setup
	cmake --preset native >/dev/null
	cmake --build $(NATIVE) -j$(JOBS)

build-asan: setup
	cmake --preset native-asan >/dev/null
	cmake --build $(ASAN) -j$(JOBS)

build-win64: setup-win
	cmake --preset win64 >/dev/null
	cmake --build $(WIN64) -j$(JOBS)

# The browser comes first, so that configuring finds it and registers the
# test that renders the report (report_in_browser).
test: setup-browser build build-asan build-win64
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j$(JOBS)
	ctest --test-dir $(WIN64) --output-on-failure

# The release files of the version in CMakeLists.txt, into dist/: the
# Windows setup program and zip, the Debian package and SHA256SUMS.
dist: setup-dist build build-win64
	tools/make-dist.sh $(NATIVE) $(WIN64) dist

# Installs them for real: the package unpacked and run, and checked by
# lintian; the setup program run silently in a fresh Wine prefix, the
# program started from its shortcut, then uninstalled.
test-dist: dist
	tests/dist/test-deb.sh dist/zephyrloom-rescue_*.deb "$$(cat $(NATIVE)/generated/ProductVersion.txt)"
	tests/dist/test-windows-setup.sh dist/ZephyrloomRescue-*-setup.exe dist/ZephyrloomRescue-*-win64.zip $(WIN64)

MODERN := out/modern-phone/android9-open-wal

run: build
	@$(CLI) demo --out out
	@echo
	@echo "The export is in $(CURDIR)/out (UTF-16 text files, and contacts.vcf and messages.xml to put back on a"
	@echo "phone: see the README's \"Put them back on the phone\"; the phone copies are in out/phone)."
	@echo "Deleted records alone: $(CLI) carve --kind contacts|sms out/phone/Zephyrloom/contacts2.db out/phone/zephyrloom-phone-rescue/mmssms.db"
	@echo
	@echo "== A modern phone: Android 9, pulled while its databases were open (secure delete on,"
	@echo "   the deletions still in the -wal)"
	@$(NATIVE)/tools/make-android-phones out/modern-phone --only android9-open-wal
	@echo "-- the free space of the tables' pages alone (--carve-only):"
	@$(CLI) scan --carve-only $(MODERN)/contacts2.db $(MODERN)/mmssms.db 2>/dev/null
	@echo "-- with the deep pass (the default), exported to out/modern:"
	@$(CLI) export $(MODERN)/contacts2.db $(MODERN)/mmssms.db --out out/modern 2>/dev/null
	@echo "-- some of what the deep pass found:"
	@$(CLI) carve --deep --kind contacts $(MODERN)/contacts2.db $(MODERN)/mmssms.db | head -n 3
	@$(CLI) carve --deep --kind sms $(MODERN)/contacts2.db $(MODERN)/mmssms.db | head -n 3
	@echo "(the copies and the list of what was deleted are in $(MODERN))"

# The Windows program under Wine on the demo phone, from start to export.
run-windows: build-win64
	tools/run-windows.sh $(WIN64)

# Pictures of the connect page, the failure screen, a warning box, a Yes/No
# box, the update prompt, the About box, the contact card, the conversation
# view and the scan page on the demo phone, from the real windows under Wine
# and Xvfb.
screenshots: build-win64
	mkdir -p build/screenshots
	ZR_SCREENSHOT_DIR="Z:$(subst /,\\,$(CURDIR)/build/screenshots)" \
	  tools/wine-test.sh $(WIN64)/tests/gui_tests.exe --gtest_filter='Screenshots.*'
	ZR_SCREENSHOT_DIR="Z:$(subst /,\\,$(CURDIR)/build/screenshots)" \
	  tools/wine-test.sh $(WIN64)/tests/program_tests.exe --gtest_filter='ProgramScreenshots.*'
	@ls -1 build/screenshots

# The demo phone's report.html rendered by headless Chromium, offline, into
# build/screenshots/report.png; fails when the page logs to its console.
report-screenshot: build setup-browser
	tools/report-screenshot.sh $(CLI) build/screenshots/report.png

# Regenerates the skin pictures in image/ from tools/make_skin.py, and the
# program's icon and the setup program's side picture from tools/make_icon.py.
skin:
	@tools/install-packages.sh python3-pil fonts-dejavu-core
	/usr/bin/python3 tools/make_skin.py image
	/usr/bin/python3 tools/make_icon.py

# Regenerates the demo phone's two databases from tools/make_demo_phone.cpp.
demo-phone: build
	$(NATIVE)/tools/make-demo-phone demo

# The session and the deep pass on a 1 GiB SMS table (generated into
# build/bench-data), then recall and precision on phones made as Android
# makes them (generated into build/phones).
bench: build
	$(NATIVE)/bench/carve_bench
	$(NATIVE)/tools/make-android-phones build/phones
	$(NATIVE)/bench/deep_recall build/phones/*

# A report of one conversation of 20,000 messages: its size, and the time
# headless Chromium takes to open it, against an empty page.
bench-report: build setup-browser
	$(NATIVE)/bench/pipeline_bench --contacts 200 --messages 20409 --threads 1 --once --format html \
	  --dir build/bench-data/report
	tools/report-screenshot.sh --page build/bench-data/report/export/ZephyrloomRescue*/report.html \
	  build/screenshots/report-20000.png
	@printf '<!DOCTYPE html><meta charset="utf-8"><title>empty</title><p>empty' > build/bench-data/report/empty.html
	tools/report-screenshot.sh --page build/bench-data/report/empty.html build/bench-data/report/empty.png

# Timings of the conversation view (20,000 messages) and of the scan page
# (20,000 contacts) under Wine.
bench-views: build-win64
	tools/wine-test.sh $(WIN64)/tests/gui_tests.exe --gtest_also_run_disabled_tests \
	  --gtest_filter='RecordViewsBench.*:ScanPageBench.*'

# Runs a fuzzer: FUZZER names it (engine_fuzzer by default, deep_fuzzer
# for the deep pass), FUZZ_SECONDS how long (default 60).
FUZZ_SECONDS ?= 60
FUZZER ?= engine_fuzzer
fuzz:
	@tools/install-packages.sh $(PACKAGES) $(FUZZ_PACKAGES)
	cmake --preset fuzz >/dev/null
	cmake --build build/fuzz -j$(JOBS)
	tools/run-fuzzer.sh build/fuzz/fuzz/$(FUZZER) $(FUZZ_SECONDS)

clean:
	rm -rf build
