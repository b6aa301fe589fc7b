# Tumbrelt: `make run` plays, `make test` runs every test. Both set the machine up first.
BUILD_DIR ?= build
SAN_DIR   ?= build-sanitize
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=
# -noreset: the server would otherwise reset whenever its last client leaves and refuse the next
# test's window for a moment.
XVFB := xvfb-run -a -s "-screen 0 1920x1080x24 -r -noreset -nolisten tcp"

.PHONY: all setup build run test unit e2e format format-check sanitize bench clean

all: build

setup:
	@tools/setup.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: setup $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/tumbrelt

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

# Unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer, in a folder of their own.
sanitize: setup
	cmake -S . -B $(SAN_DIR) -DTUMBRELT_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && ALSOFT_DRIVERS=null $(XVFB) ctest --output-on-failure -j $(JOBS) -L unit

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR)
