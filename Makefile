# make run   builds and starts the program
# make test  builds and runs every test
# Both install missing Debian packages first (make deps; SKIP_DEPS=1 skips it).
# make help  lists every target.
.DEFAULT_GOAL := help
BUILD ?= build
# make package builds in its own folder, without tests and benchmarks.
PACKAGE_BUILD ?= build-package
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev \
            libgmock-dev libbenchmark-dev libcli11-dev libwebp-dev qt6-translations-l10n xvfb xauth \
            fonts-dejavu-core
FUZZ_PACKAGES := clang libclang-rt-dev
SOAK_PACKAGES := xdotool xclip imagemagick xvfb xauth
PACKAGE_PACKAGES := dpkg-dev file
BENCH_PACKAGES := libmuparserx-dev python3-numpy python3-matplotlib

# Installs the Debian packages of $(1) that are missing (as root), or prints
# the apt-get line to run.
define ensure_packages
[ -n "$(SKIP_DEPS)" ] && exit 0; missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
if [ -n "$$missing" ]; then \
  if [ "$$(id -u)" = 0 ]; then \
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
  else \
    echo "missing packages; run as root: apt-get install -y$$missing"; exit 1; \
  fi; \
fi
endef

.PHONY: help deps fuzz-deps build test run bench clean test-sanitize fuzz soak install package

help:
	@echo "make run            build and start the program"
	@echo "make test           build and run every test"
	@echo "make build          build both programs, the tests and the benchmarks in $(BUILD)/"
	@echo "make install        install into PREFIX (now $(PREFIX)); DESTDIR is respected"
	@echo "make package        build the Debian package $(PACKAGE_BUILD)/tessarel_*.deb"
	@echo "make bench          run the benchmarks"
	@echo "make test-sanitize  the tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	@echo "make fuzz           every fuzz target for FUZZ_SECONDS seconds (now $(FUZZ_SECONDS))"
	@echo "make soak           drive the window under Xvfb for several minutes"
	@echo "make deps           install the Debian packages the build needs (as root)"
	@echo "make clean          remove the build folders"
	@echo "SKIP_DEPS=1 skips the package check in every target."

deps:
	@$(call ensure_packages,$(PACKAGES))

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@if [ -x $(BUILD)/app/tessarel ]; then $(BUILD)/app/tessarel; else $(BUILD)/cli/tessarel-cli --help; fi

# Every benchmark executable of bench/ (not the build's folders beside them).
# bench_fill compares the fill with a parse-once expression library, which is
# installed first; the configure step runs again so that it is found.
bench: deps
	@$(call ensure_packages,$(BENCH_PACKAGES))
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$(basename $$b)"; "$$b" || exit 1; fi; \
	done

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
SAN_BUILD ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAREL_SANITIZE=ON -DTESSAREL_BENCH=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

fuzz-deps:
	@$(call ensure_packages,$(FUZZ_PACKAGES))

# libFuzzer targets (clang, sanitizers on), each run for FUZZ_SECONDS seconds.
fuzz: deps fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B fuzz-build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTESSAREL_FUZZ=ON -DTESSAREL_WITH_QT=OFF -DTESSAREL_BENCH=OFF
	cmake --build fuzz-build -j $(JOBS)
	fuzz/run.sh fuzz-build $(FUZZ_SECONDS)

# The window driven under Xvfb for several minutes: formulas, modes,
# simulations, wheel and zoom; responsiveness and memory are checked.
soak: build
	@$(call ensure_packages,$(SOAK_PACKAGES))
	tests/soak/soak.sh $(BUILD)/app/tessarel

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: deps
	@$(call ensure_packages,$(PACKAGE_PACKAGES))
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
	  -DTESSAREL_BENCH=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-* fuzz-build
