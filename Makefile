# `make run` and `make test` are all a newcomer needs; everything else is CMake.
BUILD     ?= build
BUILD_SAN ?= build-sanitize
BUILD_WIN ?= build-windows
JOBS      ?= $(shell nproc)

PREFIX    ?= /usr/local
# Our own builds make warnings errors; a packager's cmake call does not.
OURS      := -DTARNWICK_WERROR=ON

.PHONY: all deps build run test test-native test-windows windows test-sanitize build-release bench install package clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(OURS) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The window always ends with status 1, as it always has; that is not a failure.
run: build
	@$(BUILD)/app/gtk/tarnwick || [ $$? -eq 1 ]

test: test-native test-windows

test-native: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# tarnwick.exe and the tests for Windows, cross-built with mingw-w64.
windows: deps
	cmake -S . -B $(BUILD_WIN) $(OURS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_WIN) -j $(JOBS)

# The same tests on Windows' own conversion and cipher services, under Wine.
test-windows: windows
	WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" ctest --test-dir $(BUILD_WIN) --output-on-failure

test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) $(OURS) -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=OFF >/dev/null
	cmake --build $(BUILD_SAN) -j $(JOBS)
	ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

# The optimised builds that warn differently from ours (GCC's -O3 inlining,
# Clang), built with warnings as errors so that neither breaks unseen.
build-release: deps
	cmake -S . -B build-release-gcc $(OURS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
	cmake --build build-release-gcc -j $(JOBS)
	cmake -S . -B build-release-clang $(OURS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
	cmake --build build-release-clang -j $(JOBS)

# DESTDIR, when given, is put before PREFIX, as packagers expect.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# build/tarnwick_1.2_amd64.deb and build-windows/tarnwick-1.2-windows-x86_64.zip
package: build windows
	cd $(BUILD) && cpack -G DEB
	cd $(BUILD_WIN) && cpack -G ZIP

bench: build windows
	$(BUILD)/bench/tarnwick-bench
	bench/window_keystrokes.sh $(BUILD)/app/gtk/tarnwick
	bench/dialog_keystrokes.sh $(BUILD_WIN)/app/win32/tarnwick.exe $(BUILD_WIN)/tests/app/win32/dialog_probe.exe

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_WIN) build-release-gcc build-release-clang
