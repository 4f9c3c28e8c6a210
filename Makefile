# Front door: `make demo` and `make test` work on a fresh Debian 12 machine as root.
.PHONY: all deps build build-native build-windows test test-native test-windows demo dist clean

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

# The Windows installer: build/windows/dist/Scribo-<version>.msi.
dist: build-windows
	@cmake --build --preset windows --target dist

clean:
	@tools/wine-env stop || true
	rm -rf build
