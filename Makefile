# One entry point for both build trees. `make run` builds the setup program with its
# embedded demo payload and starts it under Wine; `make test` runs every test of both trees.
JOBS ?= $(shell nproc)
WIN32 := build/win32
HOST := build/host
CTEST_FLAGS ?= --output-on-failure

.PHONY: all bootstrap win32 host run test test-host test-win32 bench clean

all: win32 host

bootstrap:
	@bash tools/bootstrap.sh

$(WIN32)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(WIN32_CMAKE_FLAGS)

$(HOST)/CMakeCache.txt: | bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(HOST) -G Ninja $(HOST_CMAKE_FLAGS)

win32: bootstrap $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

host: bootstrap $(HOST)/CMakeCache.txt
	cmake --build $(HOST) -j $(JOBS)

run: win32
	bash tools/run-setup.sh $(WIN32)

test-host: host
	cd $(HOST) && ctest -j $(JOBS) -LE bench $(CTEST_FLAGS)

test-win32: win32
	cd $(WIN32) && ctest -j $(JOBS) -LE bench $(CTEST_FLAGS)

test: test-host test-win32

# Benchmarks print their measurements; run one at a time so that they do not disturb each other.
bench: win32 host
	cd $(HOST) && ctest -L bench -V
	cd $(WIN32) && ctest -L bench -V

clean:
	rm -rf build
