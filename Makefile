# Front door: `make demo` and `make test` work on a fresh Debian 12 machine as root.
.PHONY: all deps build build-native build-windows test test-native test-windows demo bench dist clean

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
# CTest counts a test program with skipped cases as passed: the skipped cases are listed after
# each summary (from the program output CTest keeps in Testing/Temporary/LastTest.log).
test: build
	@ctest --preset native; rc=$$?; tools/list-skipped build/native; exit $$rc
	@ctest --preset windows; rc=$$?; tools/list-skipped build/windows; exit $$rc

demo: build
	@bash tools/demo.sh

# Benchmarks, built optimised in build/bench (native) and build/bench-windows (under Wine): the
# native micro-benchmarks, saving through MSXML, the panel's start-up, show, arrival and memory
# beside its floors, the mapping panel's drag, capture and paint, and live-pressure packet cost.
bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	@build/bench/bin/benchmarks
	@cmake --preset bench-windows >/dev/null
	@cmake --build --preset bench-windows
	@tools/wine-run build/bench-windows/testlayout/win_benchmarks.exe
	@tools/wine-run build/bench-windows/testlayout/panel_bench.exe
	@tools/wine-run build/bench-windows/testlayout/mapping_bench.exe
	@tools/wine-run build/bench-windows/testlayout/e2e_tests.exe --gtest_also_run_disabled_tests \
	  --gtest_filter=LivePressure.DISABLED_PacketCost | grep -E "packets|idle"

# The Windows installer: build/windows/dist/Scribo-<version>.msi.
dist: build-windows
	@cmake --build --preset windows --target dist

clean:
	@tools/wine-env stop || true
	rm -rf build
