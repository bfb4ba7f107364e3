# Quick start: `make demo` builds Velkin and solves a shipped example;
# `make check` builds everything and runs the whole test suite, once plainly
# and once under AddressSanitizer and UndefinedBehaviorSanitizer.
JOBS ?= $(shell nproc)

.PHONY: all demo check test sanitize clean

all:
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
	cmake --build build -j $(JOBS)

demo: all
	./build/velkin -d Machine examples/vending.dmts

test: all
	cd build && ctest --output-on-failure -j $(JOBS)

sanitize:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELKIN_SANITIZE=ON > /dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

check: test sanitize

clean:
	rm -rf build build-asan
