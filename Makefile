# Two commands: `make demo` and `make test`.
BUILD ?= build
JOBS ?= 2
# e.g. BENCH_ARGS='--benchmark_filter=-.*Literal.*' to skip the slow literal algorithms
BENCH_ARGS ?=

# make fuzz: libFuzzer over the whole program for FUZZ_SECONDS (clang, build-fuzz/);
# findings land in build-fuzz/ as crash-*, timeout-*, oom-* files.
FUZZ_SECONDS ?= 600
FUZZ_ARGS ?=

.PHONY: demo test test-sanitize bench fuzz configure build clean

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	rm -rf demo-run && mkdir -p demo-run && cp examples/aspirin.inp demo-run/
	cd demo-run && ../$(BUILD)/orbicutter aspirin.inp
	@echo
	@echo "Outputs of the demo run are in demo-run/:"
	@ls -l demo-run
	@echo
	@echo "First lines of the cluster file demo-run/aspirin.xyz:"
	@head -n 8 demo-run/aspirin.xyz

test: build
	cd $(BUILD) && ctest --output-on-failure

test-sanitize:
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DORBICUTTER_SANITIZE=ON >/dev/null
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ctest --output-on-failure

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORBICUTTER_TESTS=OFF -DORBICUTTER_BENCH=ON -DORBICUTTER_CHECKED=OFF >/dev/null
	cmake --build build-bench -j $(JOBS)
	./build-bench/orbicutter_bench $(BENCH_ARGS)

fuzz:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBICUTTER_TESTS=OFF -DORBICUTTER_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target orbicutter_fuzz
	rm -rf build-fuzz/seeds && mkdir -p build-fuzz/seeds build-fuzz/corpus
	for d in tests/data/crystals examples tests/data/bad tests/data/fuzz-regressions; do \
	  for f in $$d/*.inp; do [ ! -e "$$f" ] || cp "$$f" "build-fuzz/seeds/$$(basename $$d)-$$(basename $$f)"; done; \
	done
	# Absolute paths: each run works in a folder of its own.
	./build-fuzz/orbicutter_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	  -dict=$(CURDIR)/tests/fuzz/orbicutter.dict -artifact_prefix=$(CURDIR)/build-fuzz/ -print_final_stats=1 \
	  $(FUZZ_ARGS) $(CURDIR)/build-fuzz/corpus $(CURDIR)/build-fuzz/seeds

clean:
	rm -rf build build-sanitize build-bench build-fuzz demo-run
