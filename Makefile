# The two set-up commands: `make run` and `make test`.
BUILD      ?= build
BUILD_SAN  ?= build-san
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
# Seconds `make fuzz` gives each fuzz target, and the largest input (KB) it
# adds to the corpus, which stays small enough to commit and to rerun.
FUZZ_TIME  ?= 600
FUZZ_KEEP_KB ?= 24
FUZZ_TARGETS := clone-file overlay clone-driver cell-commands settings

.PHONY: all deps build build-san build-fuzz run test test-plain test-san test-fuzz fuzz bench package clean

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD_SAN)/build.ninja: | deps
	cmake -S . -B $(BUILD_SAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPARLO_SANITIZE=ON

# The fuzz targets need clang; the tree builds nothing but them.
$(BUILD_FUZZ)/build.ninja: | deps
	cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DPARLO_FUZZ=ON -DPARLO_BUILD_GUI=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-san: deps $(BUILD_SAN)/build.ninja
	cmake --build $(BUILD_SAN) -j $(JOBS)

build-fuzz: deps $(BUILD_FUZZ)/build.ninja
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz

run: build
	$(BUILD)/bin/parlo

# The whole suite, then once more as on a German desktop, which writes a
# decimal comma (tools/install-deps.sh makes the locale).
test-plain: build
	cd $(BUILD) && LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd $(BUILD) && LC_ALL=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-san: build-san
	cd $(BUILD_SAN) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS)

# Each fuzz target runs once over its committed corpus: a regression run.
test-fuzz: build-fuzz
	@for t in $(FUZZ_TARGETS); do \
	    echo "fuzz-$$t: $$(ls fuzz/corpus/$$t | wc -l) inputs"; \
	    $(BUILD_FUZZ)/bin/fuzz-$$t -runs=0 fuzz/corpus/$$t > $(BUILD_FUZZ)/fuzz-$$t.log 2>&1 \
	        || { cat $(BUILD_FUZZ)/fuzz-$$t.log; exit 1; }; \
	done

test: test-plain test-san test-fuzz

# Fuzzes each target for FUZZ_TIME seconds from its corpus, then merges what
# it found that reaches code the corpus did not (inputs up to FUZZ_KEEP_KB)
# into fuzz/corpus. A crash, hang or sanitizer report stops it, with the input
# in $(BUILD_FUZZ)/findings.
fuzz: build-fuzz
	@mkdir -p $(BUILD_FUZZ)/findings
	@for t in $(FUZZ_TARGETS); do \
	    work=$(BUILD_FUZZ)/fuzz-work/$$t; mkdir -p $$work; \
	    echo "== fuzz-$$t for $(FUZZ_TIME) s"; \
	    $(BUILD_FUZZ)/bin/fuzz-$$t -max_total_time=$(FUZZ_TIME) -timeout=30 -rss_limit_mb=4096 \
	        -artifact_prefix=$(BUILD_FUZZ)/findings/$$t- -print_final_stats=1 \
	        $$work fuzz/corpus/$$t 2>&1 | tee $(BUILD_FUZZ)/fuzz-$$t.log \
	        | grep -E "^(#[0-9]+[[:space:]]+(INITED|DONE)|==[0-9]+==|SUMMARY)"; \
	    grep -q "^Done [0-9]* runs" $(BUILD_FUZZ)/fuzz-$$t.log \
	        || { echo "fuzz-$$t found a fault: see $(BUILD_FUZZ)/fuzz-$$t.log"; exit 1; }; \
	    find $$work -type f -size +$(FUZZ_KEEP_KB)k -delete; \
	    $(BUILD_FUZZ)/bin/fuzz-$$t -merge=1 -use_counters=0 fuzz/corpus/$$t $$work \
	        > $(BUILD_FUZZ)/merge-$$t.log 2>&1; \
	done

bench: build
	cmake --build $(BUILD) --target bench

# A Debian package of the plain build, checked by lintian.
package: build
	@tools/install-deps.sh package
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error $(BUILD)/parlo_*.deb

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ)
