# Two commands: `make demo` and `make test`.
BUILD ?= build
JOBS ?= 2
# e.g. BENCH_ARGS='--benchmark_filter=-.*Literal.*' to skip the slow literal algorithms
BENCH_ARGS ?=

# make fuzz: libFuzzer over the whole program for FUZZ_SECONDS (clang, build-fuzz/);
# findings land in build-fuzz/findings/ as crash-*, leak-*, timeout-*, oom-* files.
FUZZ_SECONDS ?= 600
FUZZ_ARGS ?=

.PHONY: demo test test-sanitize bench fuzz fuzz-cif configure build clean

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# With the CIF converter built: CIF -> input -> cluster in one command;
# without it (no gemmi) the keyword example. Only the programs are built, in a
# folder of their own, so the demo needs no test framework.
DEMO_BUILD ?= build-demo
demo:
	cmake -S . -B $(DEMO_BUILD) -DCMAKE_BUILD_TYPE=Release -DORBICUTTER_TESTS=OFF >/dev/null
	cmake --build $(DEMO_BUILD) -j $(JOBS) --target demo_programs
	rm -rf demo-run && mkdir -p demo-run
	@if [ -x $(DEMO_BUILD)/orbicutter-cif ]; then \
	  cp examples/4021067.cif demo-run/ && cd demo-run && ../$(DEMO_BUILD)/orbicutter-cif 4021067.cif --run; \
	else \
	  echo "orbicutter-cif is not built: it needs gemmi (Debian: apt-get install gemmi-dev tao-pegtl-dev)."; \
	  echo "Running the keyword example instead."; \
	  cp examples/aspirin.inp demo-run/ && cd demo-run && ../$(DEMO_BUILD)/orbicutter aspirin.inp; \
	fi
	@echo
	@echo "Outputs of the demo run are in demo-run/ (a CIF's run in a folder of its own):"
	@ls -lR demo-run
	@echo
	@xyz=$$(ls demo-run/*.xyz demo-run/*/*.xyz 2>/dev/null | head -n 1); echo "First lines of the cluster file $$xyz:"; head -n 8 $$xyz

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

fuzz: configure
	cmake --build $(BUILD) -j $(JOBS) --target orbicutter
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBICUTTER_TESTS=OFF -DORBICUTTER_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target orbicutter_fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) tests/fuzz/campaign.sh $(BUILD)/orbicutter build-fuzz/orbicutter_fuzz $(FUZZ_ARGS)

# make fuzz-cif: the same for the CIF converter (findings in build-fuzz/cif/findings/).
fuzz-cif: configure
	cmake --build $(BUILD) -j $(JOBS) --target orbicutter-cif
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBICUTTER_TESTS=OFF -DORBICUTTER_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target orbicutter_fuzz_cif
	FUZZ_SECONDS=$(FUZZ_SECONDS) tests/fuzz/campaign_cif.sh $(BUILD)/orbicutter-cif build-fuzz/orbicutter_fuzz_cif $(FUZZ_ARGS)

clean:
	rm -rf build build-sanitize build-bench build-demo build-fuzz demo-run
