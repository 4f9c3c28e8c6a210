# Front door: `make demo` and `make test` work on a fresh Debian 12 machine as root.
.PHONY: all deps build build-native build-windows test test-native test-windows demo bench clean

all: build

deps:
	@bash deps/install.sh

build-native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

build-windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

build: build-native build-windows

test-native: build-native
	@ctest --preset native

test-windows: build-windows
	@ctest --preset windows

# Native unit tests first (fast, sanitizers), then everything under Wine; CTest sums up each.
test: build
	@ctest --preset native
	@ctest --preset windows

demo: build
	@bash tools/demo.sh

# Benchmarks, built optimised in build/bench (native) and build/bench-windows (under Wine).
# startup_bench is built too; run it by hand beside a running service stand-in.
bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	@build/bench/bin/benchmarks
	@cmake --preset bench-windows >/dev/null
	@cmake --build --preset bench-windows
	@tools/wine-run build/bench-windows/testlayout/win_benchmarks.exe

clean:
	@tools/wine-env stop || true
	rm -rf build
