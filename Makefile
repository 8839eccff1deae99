# make        build everything (installs what is missing first)
# make run    open the reader (without a display: render the opening page to a PNG)
# make test   build and run the tests, then again under AddressSanitizer and UBSan
# make check  build and run the fast unit tests alone (ctest -L unit)
# make install [PREFIX=/usr/local]   install the reader, its menu entry, icons and manuals
# make deb     build the Debian package build/velun_VERSION_ARCH.deb (needs dpkg-dev)
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps test-deps configure run test check test-sanitize bench bench-memory fuzz clean install deb

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
	@$(MAKE) --no-print-directory test-sanitize

# The unit tests alone, without the system tests that start readers, LibreOffice,
# dpkg or the out-of-memory sweep.
check: test-deps all
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -L unit --output-on-failure -j $(JOBS)

# The same suite in a second build folder, optimised lightly so that it builds fast.
# Its programs carry their sanitizer options (tests/sanitizer/): a report ends the
# process and fails its test, and leaks are reported too.
test-sanitize: test-deps
	@test -f $(SANITIZE_BUILD)/CMakeCache.txt || cmake -S . -B $(SANITIZE_BUILD) -G Ninja \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
		-DVELUN_SANITIZE=ON -DVELUN_BENCH=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

install: all
	cmake --install $(BUILD) --prefix $(PREFIX)

deb: test-deps all
	cd $(BUILD) && cpack -G DEB

bench: all
	@bash scripts/bench.sh $(BUILD)

bench-memory: all
	@bash bench/memory-soak.sh $(BUILD)

fuzz: deps
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
