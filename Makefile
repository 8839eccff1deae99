# make        build everything (installs what is missing first)
# make run    open the reader (without a display: render the opening page to a PNG)
# make test   build and run the tests
# make install [PREFIX=/usr/local]   install the reader, its menu entry, icons and manuals
# make deb     build the Debian package build/velun_VERSION_ARCH.deb (needs dpkg-dev)
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps test-deps configure run test bench fuzz clean install deb

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

install: all
	cmake --install $(BUILD) --prefix $(PREFIX)

deb: test-deps all
	cd $(BUILD) && cpack -G DEB

bench: all
	QT_QPA_PLATFORM=offscreen $(BUILD)/velun_bench

fuzz: deps
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD)
