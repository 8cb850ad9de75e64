# Entry points; each runs the bootstrap (install what is missing, configure,
# build) first. JOBS (default: the number of cores) bounds the parallel jobs
# of the builds and test runs: `make test JOBS=4`.
BUILD_DIR ?= build
export BUILD_DIR

.PHONY: build run test bench coverage

build:
	@scripts/bootstrap

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display; run it on a desktop (or under xvfb-run)."; \
	else cd $(BUILD_DIR)/program && ./quillary; fi

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$${JOBS:-$$(nproc)} --timeout 300

bench: build
	@$(BUILD_DIR)/quillary_bench

.PHONY: test-asan fuzz

# The whole suite under AddressSanitizer and UBSan, in build-asan.
test-asan: build
	@scripts/test-asan

# Every parser's fuzz target for FUZZ_SECONDS (default 60) each, in build-fuzz.
fuzz: build
	@scripts/fuzz

# Line coverage of each source folder, from a separate --coverage build
# (build-coverage); not part of `make test`.
coverage: build
	@scripts/coverage
