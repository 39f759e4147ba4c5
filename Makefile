# One entry point for a fresh Debian machine. Each target installs what it
# needs and is missing (tools/install-deps.sh), then drives CMake.
#
#   make demo    build, generate the demo simulator, copy a stock aircraft on it
#   make test    build the native tests (under the sanitizers) and the Windows
#                programs, and run every test (what CI runs)
#   make bench   time the copy against a plain copy of the same bytes
#   make gui     open the real dialog under Wine on the demo simulator
#   make test-win  only the Windows half: cross-build, then its tests under Wine
#   make fuzz-texture  the texture and PNG readers under libFuzzer for a minute

JOBS   ?= 2

# CMake's own makefiles inherit this: keep the output to what was built.
MAKEFLAGS += --no-print-directory
# ccache (when installed) keys objects by paths relative to the clone, so
# every clone of the same sources shares them.
export CCACHE_BASEDIR  := $(CURDIR)
export CCACHE_NOHASHDIR := 1
# The programs as released (make build, demo, gui); the native tests under
# the sanitizers; Vantorel.exe as shipped, with the Windows tests' tree
# beside it (tools/wine-run-tests.sh).
NATIVE := build
ASAN   := build-asan
BENCH  := build-bench
DEMO   := $(NATIVE)/demo
WIN    := build-win

.PHONY: all build demo test test-native test-asan test-win build-win gui bench deps-native deps-windows clean \
        native-configure asan-configure asan-build asan-test win-release win-tests-build win-tests-run

all: build

deps-native:
	@tools/install-deps.sh native

deps-windows:
	@tools/install-deps.sh windows

# Ninja, unlike CMake's makefiles, compiles a program's own files while the
# libraries it links are still being built: vantorel-cli's command-line
# parser, the longest file, then starts at once. A tree configured by an
# earlier version with makefiles is configured anew.
native-configure: deps-native
	@grep -qs '^CMAKE_GENERATOR:INTERNAL=Ninja$$' $(NATIVE)/CMakeCache.txt || rm -rf $(NATIVE)/CMakeCache.txt $(NATIVE)/CMakeFiles
	@cmake -G Ninja -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF >/dev/null

build: native-configure
	@cmake --build $(NATIVE) -j$(JOBS)

# Only what the demo runs.
demo: native-configure
	@cmake --build $(NATIVE) -j$(JOBS) --target demo-programs
	@tools/run-demo.sh $(NATIVE)

# The native tests under the sanitizers and the Windows tests under Wine, as
# one set of jobs sharing $(JOBS) compilers: while one tree links or its tests
# wait on Wine, the other compiles. Each job's output is shown when it ends
# (TEST_OUTPUT= shows each line as it comes, the jobs' lines interleaved).
TEST_OUTPUT ?= --output-sync=recurse
test: deps-native deps-windows
	@$(MAKE) -j$(JOBS) $(TEST_OUTPUT) win-tests-run asan-test win-release

test-native test-asan: asan-test

asan-configure: deps-native
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_SANITIZE=ON >/dev/null

# $(MAKE) rather than cmake --build, which would not share the job server.
asan-build: asan-configure
	@$(MAKE) -C $(ASAN)

asan-test: asan-build
	ctest --test-dir $(ASAN) --output-on-failure -j$(JOBS)

# The Windows programs cross-built with MinGW-w64, and their tests under Wine
# on a throwaway prefix and a virtual display (see tools/wine-run-tests.sh).
test-win: deps-windows
	+@tools/wine-run-tests.sh $(WIN)

win-release: deps-windows
	+@tools/wine-run-tests.sh --release $(WIN)

win-tests-build: deps-windows
	+@tools/wine-run-tests.sh --build $(WIN)

win-tests-run: win-tests-build
	@tools/wine-run-tests.sh --run $(WIN)

build-win: deps-windows
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-i686.cmake \
	       -DCMAKE_BUILD_TYPE=Release -DVANTOREL_MINGW_THREADS=win32 -DVANTOREL_TESTS=OFF >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

# The real dialog on the demo simulator, on the user's own display.
gui: build build-win
	@tools/wine-gui.sh $(NATIVE) $(WIN)

bench: deps-native
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j$(JOBS)
	$(BENCH)/bench/vantorel-bench --benchmark_counters_tabular=true

clean:
	rm -rf $(NATIVE) $(ASAN) $(BENCH) $(WIN) $(WIN)-tests $(WIN)-64

# The Wine registry reader under libFuzzer, for a bounded time
# (FUZZ_SECONDS). Not part of `make test`: new inputs it keeps go to
# build-fuzz/corpus; tests/fuzz/corpus holds the seeds.
FUZZ         := build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SOURCES := tests/fuzz/fuzz_wine_registry.cpp sim/wine_registry.cpp sim/wine_prefix.cpp \
                copy/platform.cpp copy/platform_posix.cpp sim/sim_path.cpp text/messages.cpp catalogue/catalogue.cpp

.PHONY: fuzz fuzz-texture
fuzz:
	@command -v clang++ >/dev/null || { echo 'make fuzz needs clang++: apt-get install clang libclang-rt-14-dev' >&2; exit 1; }
	@mkdir -p $(FUZZ)/corpus
	@clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
	    -Isim -Icopy -Itext -Icatalogue $(FUZZ_SOURCES) -o $(FUZZ)/fuzz_wine_registry
	$(FUZZ)/fuzz_wine_registry -print_final_stats=1 -max_total_time=$(FUZZ_SECONDS) -timeout=5 -max_len=8192 \
	    -dict=tests/fuzz/wine_registry.dict $(FUZZ)/corpus tests/fuzz/corpus

# The texture reader and the PNG path under libFuzzer, likewise: new inputs
# go to build-fuzz/texture_corpus, tests/fuzz/texture_corpus holds the seeds.
FUZZ_TEXTURE_SOURCES := tests/fuzz/fuzz_texture.cpp texture/bmp.cpp texture/png.cpp texture/quantise.cpp

fuzz-texture:
	@command -v clang++ >/dev/null || { echo 'make fuzz-texture needs clang++: apt-get install clang libclang-rt-14-dev' >&2; exit 1; }
	@mkdir -p $(FUZZ)/texture_corpus
	@clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
	    -Itexture -isystem /usr/include/stb $(FUZZ_TEXTURE_SOURCES) -o $(FUZZ)/fuzz_texture
	$(FUZZ)/fuzz_texture -print_final_stats=1 -max_total_time=$(FUZZ_SECONDS) -timeout=5 -max_len=70000 \
	    -rss_limit_mb=1024 -dict=tests/fuzz/texture.dict $(FUZZ)/texture_corpus tests/fuzz/texture_corpus

# The release files in dist/ (README.md, "Releasing"): the Windows zip, the
# static Linux vantorel-cli as a tarball and a .deb, and SHA256SUMS. The same
# commit gives the same bytes in any clone.
dist: deps-dist
	@tools/dist.sh dist

deps-dist:
	@tools/install-deps.sh dist

# The release as players and packagers get it: make dist in two fresh clones
# of the last commit at different paths must agree bit for bit; the archives'
# contents, the .deb's install and removal, and the zip's Vantorel.exe under
# Wine are checked. Several minutes, so not part of make test.
test-dist:
	@tools/install-deps.sh test-dist
	@tests/dist/test-dist.sh

clean-dist:
	rm -rf dist build-dist-win build-dist-linux build-dist-stage build-dist-dyn

clean: clean-dist

.PHONY: dist deps-dist test-dist clean-dist
