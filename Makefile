# The two commands a new user needs: `make run` and `make test`.
# Both install what is missing (Debian, as root), build, and then start or test.

PRESET ?= dev
ifeq ($(SANITIZE),1)
PRESET := asan
endif
BUILD_DIR := build/$(PRESET)
PROGRAM := $(BUILD_DIR)/app/group-pattern-designer

.PHONY: all run test bench fuzz build configure clean format windows test-windows dist

all: build

run:
	tools/install-deps run
	$(MAKE) --no-print-directory build
	$(PROGRAM)

test:
	tools/install-deps test
	$(MAKE) --no-print-directory build
	ctest --preset $(PRESET)

# The edit rule under libFuzzer (clang) for FUZZ_SECONDS; fails on any finding.
FUZZ_SECONDS ?= 60
fuzz:
	tools/install-deps test
	cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGPD_FUZZ=ON >/dev/null
	cmake --build build/fuzz --target fuzz_editrule
	tests/fuzz/run-fuzz build/fuzz/tests/fuzz/fuzz_editrule $(FUZZ_SECONDS)

# The self-contained Windows program, build/windows/group-pattern-designer.exe (its SHA-256
# printed), and its tests under Wine. The first build on a machine also builds a static Qt
# (about 12 minutes on 2 cores).
WINDOWS_ARGS := $(if $(GPD_PATTERN_HOST),-DGPD_PATTERN_HOST=$(GPD_PATTERN_HOST))
windows:
	tools/windows/build $(WINDOWS_ARGS)

test-windows:
	tools/install-deps wine
	tools/windows/build $(WINDOWS_ARGS)
	$(MAKE) --no-print-directory build PRESET=dev
	ctest --preset wine

# What a publisher ships, from the checked-out commit: build/dist holds the Windows program,
# the Debian package, the source tarball and their SHA256SUMS.
dist:
	tools/dist $(WINDOWS_ARGS)

# Start-up time and memory against a baseline Qt program, and click costs (not tests).
bench:
	tools/bench/run

configure:
	cmake --preset $(PRESET) >/dev/null

build: configure
	cmake --build --preset $(PRESET)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
