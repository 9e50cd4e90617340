# Front door: `make demo` and `make test` do all set-up on a fresh Debian machine.

BUILD_DIR    ?= build
ASAN_DIR     ?= build-asan
TSAN_DIR     ?= build-tsan
BENCH_DIR    ?= build-bench
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES     := g++ make cmake pkg-config libfftw3-dev libgtest-dev valgrind \
                libsndfile1-dev libtag1-dev
BENCH_PACKAGES := libbenchmark-dev time bc

FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_PACKAGES := clang libclang-rt-dev

.PHONY: all deps build test sanitize tsan demo bench fuzz install clean

PREFIX       ?= /usr/local

all: build

deps:
	@sh tools/install-deps.sh $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DTONVERA_SANITIZE=address,undefined
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# The multi-threaded tests under ThreadSanitizer.
tsan: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DTONVERA_SANITIZE=thread
	cmake --build $(TSAN_DIR) -j $(JOBS) --target tonvera_thread_tests
	ctest --test-dir $(TSAN_DIR) --output-on-failure -L threads

# The tool, the library, its headers, pkg-config file, CMake package and manual.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

demo: build
	@sh tools/demo.sh $(BUILD_DIR)

bench: deps
	@sh tools/install-deps.sh $(BENCH_PACKAGES)
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DTONVERA_BUILD_BENCH=ON -DTONVERA_BUILD_TESTS=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS)
	sh bench/run.sh $(BENCH_DIR)

# Each fuzz target for FUZZ_SECONDS under libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from its committed corpus; new inputs
# go to $(FUZZ_DIR)/corpus, findings to $(FUZZ_DIR)/findings.
fuzz: deps
	@sh tools/install-deps.sh $(FUZZ_PACKAGES)
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTONVERA_FUZZ=ON -DTONVERA_SANITIZE=address,undefined
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_driver fuzz_audiodata fuzz_chromagram
	@for t in driver audiodata chromagram; do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/findings/$$t; \
	  echo "fuzzing $$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_DIR)/findings/$$t/ $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t || exit 1; \
	done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)
