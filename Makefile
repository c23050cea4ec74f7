# make run   builds and starts the program
# make test  builds and runs every test
# Both install missing Debian packages first (make deps).
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
            libbenchmark-dev xvfb xauth fonts-dejavu-core
FUZZ_PACKAGES := clang libclang-rt-dev

.PHONY: deps build test run bench clean

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "missing packages; run as root: apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@if [ -x $(BUILD)/app/tessarel ]; then $(BUILD)/app/tessarel; else $(BUILD)/cli/tessarel-cli --help; fi

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x $$b ] && $$b; done

clean:
	rm -rf $(BUILD) build-* fuzz-build
