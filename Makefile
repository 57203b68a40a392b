# Quorlax: the two everyday commands are `make run` and `make test`.
# Both install what is missing first (tools/setup.sh, Debian 12, as root).
# `make check` is the inner loop: the native rule tests only.

BUILD ?= build
JOBS ?= $(shell nproc)
NATIVE := $(BUILD)/native
WIN64 := $(BUILD)/win64
WIN32 := $(BUILD)/win32
FUZZ := $(BUILD)/fuzz
RUN_PREFIX := $(BUILD)/run-prefix

.PHONY: all setup build check test fuzz run bench screenshot dist clean

all: build

setup:
	@tools/setup.sh

$(WIN64)/CMakeCache.txt:
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DQUORLAX_SANITIZE=ON -DQUORLAX_WIN64_BUILD=$(abspath $(WIN64))

build: setup $(WIN64)/CMakeCache.txt $(WIN32)/CMakeCache.txt $(NATIVE)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)
	cmake --build $(WIN32) -j $(JOBS) --target quorlax
	cmake --build $(NATIVE) -j $(JOBS)

# The portable rules' tests, natively with the sanitizers: seconds, for the
# edit-compile-test loop.
check: setup $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS) --target quorlax_native_tests
	$(NATIVE)/tests/quorlax_native_tests --gtest_brief=1

# Clang builds and checks what GCC builds; then the native tests (with
# AddressSanitizer and UBSan), the Win32 tests and the end-to-end runs under
# Wine, as one CTest run on every core: each Wine test has its own prefix and
# X display, and the tests on port 5238 take turns.
test: build
	tools/clang-check.sh $(BUILD)
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

# Fuzzes every input the program reads from outside (Clang's libFuzzer with
# AddressSanitizer and UBSan), FUZZ_SECONDS per target; tools/fuzz.sh says more.
FUZZ_SECONDS ?= 30
$(FUZZ)/CMakeCache.txt:
	cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORLAX_FUZZ=ON -DBUILD_TESTING=OFF

fuzz: setup $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) tools/fuzz.sh $(FUZZ)

run: setup $(WIN64)/CMakeCache.txt
	@if [ -z "$${DISPLAY:-}" ]; then \
	  echo "make run: there is no X display (DISPLAY is not set)."; \
	  echo "  Run it from a desktop session, or start a virtual one, for example:"; \
	  echo "    Xvfb :5 -screen 0 1024x768x24 &  DISPLAY=:5 make run"; \
	  exit 1; \
	fi
	cmake --build $(WIN64) -j $(JOBS) --target quorlax
	@tools/wine-prefix.sh $(RUN_PREFIX) || { \
	  echo "make run: the Wine prefix $(RUN_PREFIX) is not ready (what failed is said above); the game was not started."; \
	  exit 1; }
	@cd $(WIN64) && WINEPREFIX=$(abspath $(RUN_PREFIX)) WINEDEBUG=-all wine quorlax.exe || { \
	  status=$$?; \
	  echo "make run: quorlax.exe under Wine ended with exit code $$status."; \
	  echo "  To see Wine's own messages, start it without WINEDEBUG=-all:"; \
	  echo "    cd $(WIN64) && WINEPREFIX=$(abspath $(RUN_PREFIX)) wine quorlax.exe"; \
	  exit $$status; }

# The two download zips, quorlax-<version>-win64.zip and -win32.zip, in $(BUILD)/dist.
dist: setup $(WIN64)/CMakeCache.txt $(WIN32)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS) --target dist
	cmake --build $(WIN32) -j $(JOBS) --target dist
	rm -rf $(BUILD)/dist && mkdir -p $(BUILD)/dist
	cp $(WIN64)/quorlax-*-win64.zip $(WIN32)/quorlax-*-win32.zip $(BUILD)/dist/
	@ls -l $(BUILD)/dist

bench: build
	xvfb-run -a -s "-screen 0 1024x768x24" $(WIN64)/wine-run.sh $(abspath $(WIN64))/quorlax_bench.exe

screenshot: build
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/screenshot.png game
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/chooser.png chooser
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/about.png about
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/practice.png practice
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/record.png record
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/card.png card
	xvfb-run -a -s "-screen 0 1024x768x24" tools/screenshot.sh $(WIN64) docs/code-mode.png code

clean:
	rm -rf $(BUILD)
