# The two set-up commands: `make run` and `make test`.
BUILD      ?= build
BUILD_SAN  ?= build-san
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build build-san run test test-plain test-san bench package clean

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD_SAN)/build.ninja: | deps
	cmake -S . -B $(BUILD_SAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPARLO_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-san: deps $(BUILD_SAN)/build.ninja
	cmake --build $(BUILD_SAN) -j $(JOBS)

run: build
	$(BUILD)/bin/parlo

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-san: build-san
	cd $(BUILD_SAN) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS)

test: test-plain test-san

bench: build
	cmake --build $(BUILD) --target bench

# A Debian package of the plain build, checked by lintian.
package: build
	@tools/install-deps.sh package
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error $(BUILD)/parlo_*.deb

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
