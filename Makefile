# make        build everything (installs what is missing first)
# make run    open the reader (without a display: render the opening page to a PNG)
# make test   build and run the tests
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps test-deps configure run test bench fuzz clean

all: configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@bash scripts/install-deps.sh

test-deps:
	@bash scripts/install-deps.sh --test

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

run: all
	@bash scripts/run.sh $(BUILD)/velun

test: test-deps all
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: all
	@bash scripts/bench.sh $(BUILD)

fuzz: deps
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD)
