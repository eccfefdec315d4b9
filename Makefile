# Entry points for newcomers and CI. Everything else is plain CMake:
#   make demo    build the library and run the whole pipeline on a bundled floor plan,
#                then the command-line tool on a map of the U.S. states
#   make test    build and run every test twice, in a Release build with
#                assertions and in a build with AddressSanitizer, UBSan and
#                the debug standard library; fails if either fails
#   make clean   remove the build trees

BUILD := build
# Debian packages the build needs; installed when missing (apt-get, as root or through sudo).
PACKAGES := g++ cmake ninja-build googletest binutils
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Release keeps assertions: CMake's Release flags would add -DNDEBUG.
FLAGS_release := -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2
FLAGS_sanitize := -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DLOOPWEAVE_SANITIZE=ON

.PHONY: demo test deps clean

# The configure step of a build tree ("release" or "sanitize").
configure = cmake -S . -B $(BUILD)/$(1) -G Ninja $(FLAGS_$(1))
# Configure, build and run every test of a build tree.
check = $(call configure,$(1)) && cmake --build $(BUILD)/$(1) && ctest --test-dir $(BUILD)/$(1) --output-on-failure -j2

demo: deps
	$(call configure,release)
	cmake --build $(BUILD)/release --target floor_plan
	$(BUILD)/release/examples/floor_plan examples/data/floor_plan.txt
	cmake --build $(BUILD)/release --target loopweave_tool
	$(map_demo)

test: deps
	$(call check,release)
	$(call check,sanitize)

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

# The map demo, after the floor plan: the U.S. state borders, cut, framed,
# formed and stripped by the command-line tool, written as a GeoPackage and a
# picture, with the summary on stderr. GDAL for the tool, Python for its
# tests, pkg-config for the install test.
PACKAGES += libgdal-dev python3 pkg-config
DEMO_DIR := $(BUILD)/demo
map_demo = mkdir -p $(DEMO_DIR) && $(BUILD)/release/tools/loopweave data/us_state_borders.geojson \
	--cross --frame extent --frame-margin 10 --remove-returns \
	-o $(DEMO_DIR)/faces.gpkg --svg $(DEMO_DIR)/map.svg --summary
