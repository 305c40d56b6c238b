# labelplu: the two commands a newcomer needs are `make check` and `make demo`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps configure build test asan check demo docs bench fuzz fuzz-smoke clean format \
        gates format-check spell tidy-changed lint

all: build

# Installs every Debian package the project needs (as root; idempotent).
deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DLABELPLU_SANITIZE=ON

# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L unit

# The source gates first (they take seconds), then the build and its tests,
# clang-tidy over the sources changed since the parent commit (LINT_BASE=REF
# for another base), the sanitizer run and the fuzz smoke.
check: gates test tidy-changed asan fuzz-smoke

gates: format-check spell

format-check: deps
	./scripts/lint.sh format

spell: deps
	./scripts/lint.sh spell

tidy-changed: build
	./scripts/lint.sh tidy $(BUILD) changed

# Every gate over the whole tree: clang-format, codespell and clang-tidy over
# every source (several minutes on two cores).
lint: gates build
	./scripts/lint.sh tidy $(BUILD) all

demo: build
	./scripts/demo.sh $(BUILD)

# docs/templates.md, the template format reference, written anew from the
# label library's own tables; a test fails while the committed page differs.
docs: $(BUILD)/build.ninja
	cmake --build $(BUILD) --target template-reference
	$(BUILD)/bin/template-reference . > docs/templates.md.tmp
	mv docs/templates.md.tmp docs/templates.md

# Benchmarks, reported as ratios (see bench/ and the README): value arrays
# against plain zlib, barcodes against libzint, the print job against
# gLabels 3 (installed here when missing) and the bare PDF engine.
bench: build
	$(BUILD)/bin/bench_value_array
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/bench_barcode
	./scripts/install-deps.sh --bench
	python3 bench/print/print_bench.py $(BUILD)

# Each fuzz target for FUZZ_SECONDS (default 60) in its own clang build.
FUZZ_SECONDS ?= 60
fuzz: deps
	./scripts/fuzz.sh $(FUZZ_SECONDS)

# Every fuzz target for a few seconds: the harnesses build and the seeds pass.
fuzz-smoke: deps
	LABELPLU_FUZZ_JOBS=$(JOBS) ./scripts/fuzz.sh 10

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
