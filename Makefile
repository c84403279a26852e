# One entry point for both build trees. `make run` builds the setup program with its
# embedded demo payload and starts it under Wine; `make test` runs every test of both trees;
# `make setup PRODUCT=folder` makes a publisher's setup file from a product folder.
#
# The shipped program is the 32-bit one of build/win32. A machine that cannot run 32-bit
# code cannot run it under Wine; there the Windows tests and `make run` use build/win64,
# the same sources built as 64-bit programs (tools/windows-tree.sh decides, after the
# toolchain is installed).
JOBS ?= $(shell nproc)
WIN32 := build/win32
WIN64 := build/win64
HOST := build/host
CTEST_FLAGS ?= --output-on-failure
# WERROR=ON turns compiler warnings into errors (.ci/run sets it); it takes effect when a
# tree is configured, so CI's fresh clone always builds with it.
WERROR ?= OFF
# Evaluated when a recipe runs, that is after bootstrap.
RUN_TREE = build/$(shell bash tools/windows-tree.sh)

.PHONY: all bootstrap win32 win64 host run setup test test-host test-win32 test-emulated32 bench clean

all: win32 host

bootstrap:
	@bash tools/bootstrap.sh

# The two Windows trees differ only in the architecture that the toolchain file is given.
ARCH_win32 := i686
ARCH_win64 := x86_64
build/win%/CMakeCache.txt: | bootstrap
	cmake -S . -B build/win$* -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DSTAMPWELL_ARCH=$(ARCH_win$*) \
	  -DSTAMPWELL_WERROR=$(WERROR) $(WIN32_CMAKE_FLAGS)

$(HOST)/CMakeCache.txt: | bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(HOST) -G Ninja -DSTAMPWELL_WERROR=$(WERROR) $(HOST_CMAKE_FLAGS)

win32 win64: win%: bootstrap build/win%/CMakeCache.txt
	cmake --build build/win$* -j $(JOBS)

host: bootstrap $(HOST)/CMakeCache.txt
	cmake --build $(HOST) -j $(JOBS)

# Only the setup program is built (with the demo programs that its payload carries), and the
# window probe with which tools/run-setup.sh drives it where there is no display, in the tree
# that this machine can run; the tests and benchmarks are left alone.
run: bootstrap
	@if [ "$(RUN_TREE)" != "$(WIN32)" ]; then \
	  echo "make run: this machine cannot run 32-bit programs; starting the 64-bit build of the same sources"; fi
	@$(MAKE) --no-print-directory $(RUN_TREE)/CMakeCache.txt
	cmake --build $(RUN_TREE) -j $(JOBS) --target StampwellSetup window_probe
	bash tools/run-setup.sh $(RUN_TREE)

# A publisher's setup file from a product folder (README, "A setup for your product").
setup:
	@[ -n "$(PRODUCT)" ] || { echo "make setup: give the product folder, make setup PRODUCT=/path/to/product" >&2; exit 2; }
	bash tools/make-setup.sh "$(PRODUCT)"

test-host: host
	cd $(HOST) && ctest -j $(JOBS) -LE bench $(CTEST_FLAGS)

# The shipped 32-bit program is always built. Where the machine cannot run it natively, only
# the program and the 32-bit callback test are built in that tree, the Windows tests run from
# build/win64, and the 32-bit stage then runs both 32-bit programs under user-mode emulation.
test-win32: bootstrap $(WIN32)/CMakeCache.txt
	@if [ "$(RUN_TREE)" = "$(WIN32)" ]; then \
	  cmake --build $(WIN32) -j $(JOBS); \
	else \
	  echo "make test: this machine runs no 32-bit code natively ($$(python3 tools/x86_32_support.py --why | tail -1)); the Windows tests run as 64-bit programs ($(WIN64))"; \
	  cmake --build $(WIN32) -j $(JOBS) --target StampwellSetup callback_abi_test && $(MAKE) --no-print-directory win64; \
	fi
	cd $(RUN_TREE) && ctest -j $(JOBS) -LE bench $(CTEST_FLAGS)
	@if [ "$(RUN_TREE)" != "$(WIN32)" ]; then $(MAKE) --no-print-directory test-emulated32; fi

# The shipped 32-bit program and the 32-bit callback test under qemu-user, where 32-bit code
# runs only emulated; nothing to do where it runs natively (the whole suite ran on build/win32).
test-emulated32: bootstrap $(WIN32)/CMakeCache.txt
	@case "$$(python3 tools/x86_32_support.py)" in \
	  native) echo "32-bit stage: not needed, this machine runs 32-bit code natively";; \
	  none) echo "32-bit stage: cannot run: $$(python3 tools/x86_32_support.py --why | tail -1)"; exit 1;; \
	  emulated) cmake --build $(WIN32) -j $(JOBS) --target StampwellSetup callback_abi_test && \
	            $(MAKE) --no-print-directory $(WIN64)/CMakeCache.txt && \
	            cmake --build $(WIN64) -j $(JOBS) --target window_probe desktop_keeper && \
	            bash tools/emulated-32bit-stage.sh $(WIN32);; \
	esac

test: test-host test-win32

# Benchmarks print their measurements; run one at a time so that they do not disturb each other.
# Last, the shipped 32-bit program's size over its payload and pictures.
bench: win32 host
	cd $(HOST) && ctest -L bench -V
	@if [ "$(RUN_TREE)" != "$(WIN32)" ]; then $(MAKE) --no-print-directory win64; fi
	cd $(RUN_TREE) && ctest -L bench -V
	cd $(WIN32) && ctest -R '^ship_size_test$$' -V

clean:
	rm -rf build
