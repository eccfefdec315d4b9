# Entry points for newcomers and CI. Everything else is plain CMake:
#   make demo    build the library and run the whole pipeline on a bundled floor plan,
#                then the command-line tool and the Python package on a map of the U.S. states
#   make test    build and run every test twice, in a Release build with
#                assertions and in a build with AddressSanitizer, UBSan and
#                the debug standard library; fails if either fails
#   make fuzz    fuzz the whole public interface for FUZZ_SECONDS (default 600)
#                with every invariant checked after every call
#   make memcheck  run the unit tests under valgrind: no error, no leak
#   make fuzz-seeds  rewrite the fuzzer's seed corpus from the tests' drawings
#   make clean   remove the build trees

BUILD := build
# Debian packages the build needs; installed when missing (apt-get, as root or through sudo).
# GDAL for the command-line tool, Python with GDAL's bindings for its tests,
# pkg-config for the install test; clang's libFuzzer and valgrind for the
# reliability checks; pybind11 and Python's headers for the Python package,
# and NumPy, Shapely, GeoPandas, pytest and matplotlib for its tests and example;
# Dask, distributed and SciPy for loopweave.dask.
PACKAGES := g++ cmake ninja-build googletest libbenchmark-dev binutils libgdal-dev python3 python3-gdal pkg-config \
            clang libclang-rt-14-dev valgrind \
            pybind11-dev python3-dev python3-numpy python3-shapely python3-geopandas python3-pytest python3-matplotlib \
            python3-dask python3-distributed python3-pandas
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Release keeps assertions: CMake's Release flags would add -DNDEBUG. The
# Python package is built there, not in the sanitizer build.
FLAGS_release := -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 -DLOOPWEAVE_BUILD_PYTHON=ON
FLAGS_sanitize := -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DLOOPWEAVE_SANITIZE=ON
# The fuzzer needs clang's libFuzzer; assertions stay on here too.
FLAGS_fuzz := -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-g -O1" -DLOOPWEAVE_FUZZ=ON
FUZZ_SECONDS := 600
DEMO_DIR := $(BUILD)/demo

.PHONY: demo test fuzz fuzz-seeds memcheck deps clean

# The configure step of a build tree ("release" or "sanitize"). Warnings are
# errors in every tree made here, as in CI.
configure = cmake -S . -B $(BUILD)/$(1) -G Ninja -DLOOPWEAVE_WERROR=ON $(FLAGS_$(1))
# Configure, build and run every test of a build tree.
check = $(call configure,$(1)) && cmake --build $(BUILD)/$(1) && ctest --test-dir $(BUILD)/$(1) --output-on-failure -j2

demo: deps
	$(call configure,release)
	cmake --build $(BUILD)/release --target floor_plan
	$(BUILD)/release/examples/floor_plan examples/data/floor_plan.txt
	cmake --build $(BUILD)/release --target loopweave_tool
	mkdir -p $(DEMO_DIR)
	$(BUILD)/release/tools/loopweave data/floor_plan.dxf --cross \
	    --labels data/floor_plan.dxf --label-where "Layer = 'ROOMS'" \
	    -o $(DEMO_DIR)/rooms.gpkg --svg $(DEMO_DIR)/rooms.svg --overwrite --summary
	python3 examples/print_rooms.py $(DEMO_DIR)/rooms.gpkg
	$(BUILD)/release/tools/loopweave data/us_state_borders.geojson \
	    --cross --frame extent --frame-margin 10 --check \
	    -o $(DEMO_DIR)/faces.gpkg --svg $(DEMO_DIR)/map.svg --overwrite --summary
	cmake --build $(BUILD)/release --target loopweave_python
	PYTHONPATH=$(BUILD)/release/python /usr/bin/python3 examples/python/polygonize_states.py \
	    data/us_state_borders.geojson $(DEMO_DIR)/states.png

# The short fuzz run keeps the fuzzer building and working on every change.
test: deps
	$(call check,release)
	$(call check,sanitize)
	$(MAKE) fuzz FUZZ_SECONDS=60

fuzz: deps
	$(call configure,fuzz)
	cmake --build $(BUILD)/fuzz --target loopweave_fuzzer
	fuzz/run.sh $(BUILD)/fuzz/fuzz/loopweave_fuzzer $(FUZZ_SECONDS) $(BUILD)/fuzz/run

fuzz-seeds: deps
	$(call configure,release)
	cmake --build $(BUILD)/release --target write_seeds loopweave_tests
	rm -f fuzz/corpus/hand/* fuzz/corpus/tests/*
	$(BUILD)/release/fuzz/write_seeds fuzz/corpus/hand
	LOOPWEAVE_RECORD_SEEDS=$(CURDIR)/fuzz/corpus/tests $(BUILD)/release/tests/loopweave_tests >/dev/null

memcheck: deps
	$(call configure,release)
	cmake --build $(BUILD)/release --target loopweave_tests
	valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
	    $(BUILD)/release/tests/loopweave_tests --gtest_brief=1

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing missing packages:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

clean:
	rm -rf $(BUILD)


# Benchmarks, in a tree of their own built without assertions (-DNDEBUG), as
# speed is measured:
#   make bench          this library on every benchmark input: sizes, the time
#                       of each stage and peak memory, beside the Python package
#                       and Shapely's noding and polygonize_full; then each
#                       operation alone, and the host side's snapping pass
#   make bench-compare  the same inputs through this library, GEOS and CGAL,
#                       with the ratios of time and memory
#   make bench-dask     loopweave.dask on 1 and 2 workers beside the single
#                       process: wall time and peak memory per worker, on
#                       random:1000000 and rooms (DASK_BENCH_SEGMENTS=N for
#                       another size), rooms also left on the workers
#   make bench-data     fetch the real maps from npm and convert them, then
#                       reproject them to metres with GDAL (Debian's Python)
# BENCH_MAX_SEGMENTS=N skips the inputs with more segments; BENCH_TIMEOUT=S
# (default 300) limits every process; BENCH_INPUTS="random:1000 map:counties-10m"
# picks the inputs (bench/inputs/bench_inputs.h names them).
BENCH_PEER_PACKAGES := libgeos-dev libcgal-dev
BENCH_DATA := $(BUILD)/bench-data
BENCH_TIMEOUT ?= 300
FLAGS_bench := -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DLOOPWEAVE_BUILD_TOOL=OFF \
               -DLOOPWEAVE_BUILD_PYTHON=ON \
               -DLOOPWEAVE_BENCH_DATA_DIR=$(CURDIR)/$(BENCH_DATA)
BENCH_ENV := BENCH_MAX_SEGMENTS="$(BENCH_MAX_SEGMENTS)" BENCH_TIMEOUT="$(BENCH_TIMEOUT)" BENCH_INPUTS="$(BENCH_INPUTS)" \
             BENCH_DATA_DIR="$(CURDIR)/$(BENCH_DATA)"

.PHONY: bench bench-compare bench-data bench-dask
DASK_BENCH_SEGMENTS ?= 1000000

# Without the maps (no network, say) the table still comes, saying "no data" for them.
# Each step writes only the files that are missing.
bench-data:
	python3 bench/maps/fetch_maps.py $(BENCH_DATA) || echo "bench-data: the maps are missing; their rows will say so"
	/usr/bin/python3 bench/maps/reproject_maps.py $(BENCH_DATA) || \
	    echo "bench-data: the maps in metres are missing; their rows will say so"

bench: deps bench-data
	$(call configure,bench) -DLOOPWEAVE_BENCH_PEERS=OFF
	cmake --build $(BUILD)/bench --target loopweave_driver operations_bench snapping_bench loopweave_python
	$(BENCH_ENV) python3 bench/run_bench.py $(BUILD)/bench --python --operations
	$(BENCH_ENV) $(BUILD)/bench/bench/snapping_bench

bench-compare: deps bench-data
	$(MAKE) deps PACKAGES="$(BENCH_PEER_PACKAGES)"
	$(call configure,bench) -DLOOPWEAVE_BENCH_PEERS=ON
	cmake --build $(BUILD)/bench --target loopweave_driver geos_driver cgal_driver
	$(BENCH_ENV) python3 bench/run_bench.py $(BUILD)/bench --compare

bench-dask: deps
	$(call configure,bench) -DLOOPWEAVE_BENCH_PEERS=OFF
	cmake --build $(BUILD)/bench --target loopweave_driver loopweave_python
	PYTHONPATH=$(BUILD)/bench/python /usr/bin/python3 bench/dask_bench.py --segments $(DASK_BENCH_SEGMENTS) \
	    --driver $(BUILD)/bench/bench/loopweave_driver
	PYTHONPATH=$(BUILD)/bench/python /usr/bin/python3 bench/dask_bench.py --segments $(DASK_BENCH_SEGMENTS) --kind rooms
	PYTHONPATH=$(BUILD)/bench/python /usr/bin/python3 bench/dask_bench.py --segments $(DASK_BENCH_SEGMENTS) --kind rooms \
	    --distributed
