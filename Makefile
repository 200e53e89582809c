# The two commands a new user needs: `make run` and `make test`.
# Both install what is missing (Debian, as root), build, and then start or test.

PRESET ?= dev
ifeq ($(SANITIZE),1)
PRESET := asan
endif
BUILD_DIR := build/$(PRESET)
PROGRAM := $(BUILD_DIR)/app/group-pattern-designer

.PHONY: all run test bench build configure clean format

all: build

run:
	tools/install-deps run
	$(MAKE) --no-print-directory build
	$(PROGRAM)

test:
	tools/install-deps test
	$(MAKE) --no-print-directory build
	ctest --preset $(PRESET)

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
