# Entry points for a newcomer: `make run`, `make test`, `make build`.
BUILD ?= build
CMAKE_FLAGS = -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: deps configure build test run bench clean format

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

configure: deps $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD)

test: build
	@scripts/wine-env.sh $(BUILD) -- ctest --test-dir $(BUILD) --output-on-failure --timeout 600

run: build
	@scripts/run-demo.sh $(BUILD)

bench: build
	@cmake --build $(BUILD) --target startup_benchmark
	@RELVANTA_EXE=$(abspath $(BUILD))/Relvanta.exe scripts/wine-env.sh $(BUILD) -- wine $(BUILD)/tests/startup_benchmark.exe

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
