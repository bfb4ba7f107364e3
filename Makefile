# Quick start: `make demo` (or a bare `make`) builds every command and solves
# a shipped example; `make check` builds everything and runs the whole test
# suite, once plainly and once under AddressSanitizer and
# UndefinedBehaviorSanitizer. Both first install the Debian packages they need
# and miss (tools/install-deps.sh), so they work on a fresh machine run as root.
JOBS ?= $(shell nproc)

.PHONY: default all deps test-deps demo check test sanitize fuzz bench install clean

# The first target is what a bare `make` does.
default: demo

deps:
	@bash tools/install-deps.sh build

test-deps:
	@bash tools/install-deps.sh build test

all: test-deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELKIN_TESTS=ON > /dev/null
	cmake --build build -j $(JOBS)

# Every command (velkin and its companions), without the test framework: the
# default target of a build without tests is exactly the set of tools.
demo: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELKIN_TESTS=OFF > /dev/null
	cmake --build build -j $(JOBS)
	./build/velkin -r examples/vending.dra -s Machine examples/vending.dmts

test: all
	cd build && ctest --output-on-failure -j $(JOBS)

sanitize: test-deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELKIN_SANITIZE=ON > /dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

# Both halves always run, so one report shows every failure; the target fails
# when either did.
check:
	@status=0; \
	$(MAKE) --no-print-directory test || status=1; \
	$(MAKE) --no-print-directory sanitize || status=1; \
	if [ $$status -ne 0 ]; then echo "make check: FAILED"; else echo "make check: all passed"; fi; \
	exit $$status

# Short libFuzzer runs (needs clang and libclang-rt-14-dev).
fuzz:
	@bash tools/install-deps.sh build fuzz
	bash tests/fuzz/run.sh

# Scaling runs into bench/RESULTS.md (a few minutes; not part of check).
bench: all
	bash bench/run.sh

install: all
	cmake --install build

clean:
	rm -rf build build-asan build-fuzz
