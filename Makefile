# Tumbrelt: `make run` plays, `make test` runs every test. Both set the machine up first.
BUILD_DIR ?= build
SAN_DIR   ?= build-sanitize
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=
# -noreset: the server would otherwise reset whenever its last client leaves and refuse the next
# test's window for a moment.
XVFB := xvfb-run -a -s "-screen 0 1920x1080x24 -r -noreset -nolisten tcp"

PREFIX    ?= /usr/local

.PHONY: all setup build run test unit e2e format format-check sanitize bench balance package install clean

all: build

setup:
	@tools/setup.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: setup $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/tumbrelt

# The Debian package build/tumbrelt_<version>_amd64.deb (CPack): the game in /usr/games, its data
# in /usr/share/games/tumbrelt, the desktop entry and the icon.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The same layout under PREFIX (default /usr/local); DESTDIR, when set, is put before it.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Every test (unit and end-to-end) under one Xvfb server with key auto-repeat off.
test: build format-check
	cd $(BUILD_DIR) && ALSOFT_DRIVERS=null $(XVFB) ctest --output-on-failure -j $(JOBS)

unit: build
	cd $(BUILD_DIR) && ALSOFT_DRIVERS=null $(XVFB) ctest --output-on-failure -j $(JOBS) -L unit

e2e: build
	cd $(BUILD_DIR) && ALSOFT_DRIVERS=null $(XVFB) ctest --output-on-failure -L e2e

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp')

format-check: setup
	clang-format --dry-run --Werror $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp')

# Every test (unit and end-to-end) again on a build with AddressSanitizer and
# UndefinedBehaviorSanitizer. Any report of theirs ends the process with status 86, which fails the
# test; only the reviewed third-party entries in tests/sanitizers/ are suppressed. The harness starts
# the game through stdbuf, whose preloaded library stands before ASan's runtime but allocates nothing.
# LeakSanitizer's exit-time check now and then dies itself ("Tracer caught signal 11") while Mesa's
# render threads wind down; a failed test therefore gets up to three tries. A real report comes
# back every time and still fails.
SAN_SUPP := $(CURDIR)/tests/sanitizers
SAN_ENV := ASAN_OPTIONS=suppressions=$(SAN_SUPP)/asan.supp:exitcode=86:verify_asan_link_order=0:detect_leaks=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1:disable_coredump=1 \
	LSAN_OPTIONS=suppressions=$(SAN_SUPP)/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=suppressions=$(SAN_SUPP)/ubsan.supp:print_stacktrace=1:halt_on_error=1:exitcode=86
# The package test is left to `make test`: a package is made from the shipped build, not this one.
sanitize: setup
	cmake -S . -B $(SAN_DIR) -DTUMBRELT_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && $(SAN_ENV) ALSOFT_DRIVERS=null $(XVFB) ctest --output-on-failure -j $(JOBS) --repeat until-pass:3 \
		-E '^e2e\.test_package$$'

# Frame times of the real scenes at 1920x1080 and 1366x768, and of the real program in a match.
bench: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tumbrelt_bench tumbrelt_planner_bench
	bench/run.sh $(BUILD_DIR)

# The computer's levels against each other: BALANCE_MATCHES whole matches for each of the nine pairs
# of levels (and a newcomer against the hard Builder), at the computer's own pace through the match
# screen, printed as the README's table; each match's end goes to $(BUILD_DIR)/balance.log.
# BALANCE_PAIRS="easy-hard normal-normal" plays only those pairs (Runner level first).
BALANCE_MATCHES ?= 40
BALANCE_PAIRS ?=
balance: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tumbrelt_balance
	ALSOFT_DRIVERS=null TUMBRELT_BALANCE_MATCHES=$(BALANCE_MATCHES) TUMBRELT_BALANCE_PAIRS="$(BALANCE_PAIRS)" \
		$(XVFB) $(BUILD_DIR)/bench/tumbrelt_balance 2>$(BUILD_DIR)/balance.log

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR)
