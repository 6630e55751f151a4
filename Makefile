# The two everyday commands:
#   make run   - installs what is missing, builds (Release) and starts Cantorela
#   make test  - the same set-up, then builds and runs every test
# Also: make build, make bench, make sanitize (AddressSanitizer+UBSan, then ThreadSanitizer),
#       make package (the Debian package of the Release build), make clean

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
CTEST_FLAGS ?= --output-on-failure
# The tests labelled "retry" talk to a real JACK server or time the real timer, on machines that
# may be busy: one that fails is run once more before it counts as failed (the first failure
# stays in the log). Every other test runs once, so that a race shows the first time.
RETRY_FLAGS ?= --repeat until-pass:2
# $(call run_tests,<build folder>): both groups, the second even when the first failed.
define run_tests
cd $(1) && export QT_QPA_PLATFORM=offscreen; \
	ctest $(CTEST_FLAGS) -j $(JOBS) -LE retry; once=$$?; \
	ctest $(CTEST_FLAGS) $(RETRY_FLAGS) -j $(JOBS) -L retry; retried=$$?; \
	[ $$once -eq 0 ] && [ $$retried -eq 0 ]
endef

.PHONY: all setup configure build run test bench sanitize asan tsan clean gallery widgets tour fuzz package

all: build

setup:
	@bash scripts/setup.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

configure: setup $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD_DIR)/cantorela $(ARGS)

test: build
	@$(call run_tests,$(BUILD_DIR))

bench: build
	@for b in $(BUILD_DIR)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && "$$b"; done

# GCC 12's sanitizer runtime can take a block of dynamic thread-local storage for a pre-2.25 glibc
# header by the chance of its address, read a made-up range from it and crash the leak checker at
# exit, after every test has passed: its __tls_get_addr interception stays off.
asan: export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
asan: export LSAN_OPTIONS ?= suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0
asan: export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
asan: setup
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCANTORELA_SANITIZE=address $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	@$(call run_tests,build-asan)

tsan: export TSAN_OPTIONS ?= halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/tsan.supp
tsan: setup
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCANTORELA_SANITIZE=thread $(CMAKE_FLAGS)
	cmake --build build-tsan -j $(JOBS)
	@$(call run_tests,build-tsan)

sanitize: asan tsan

# The Debian package of the Release build (CPack, packaging/CMakeLists.txt), installable with
# apt-get install ./$(BUILD_DIR)/cantorela_<version>_<arch>.deb
package: build
	@cd $(BUILD_DIR) && cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
	@sed -n 's/^CPack: - package: \(.*\) generated\.$$/Debian package: \1/p' $(BUILD_DIR)/cpack.log

# A contact sheet of engraved examples for a person to review: $(BUILD_DIR)/gallery.png
gallery: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/gallery/gallery $(BUILD_DIR)/gallery.png

# The shared screen parts (keyboard, progress bars, score board) in every look at device pixel
# ratio 1 and 2, for a person to review: $(BUILD_DIR)/widgets.png, each tile also in $(BUILD_DIR)/widgets/
widgets: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/widget_sheet/widget_sheet $(BUILD_DIR)/widgets.png $(BUILD_DIR)/widgets

# Drives the exercise screen through a learning and a quiz lesson of each trainer at 1920x1080,
# 1366x768 and 1920x1080 at ratio 2, and at 1366x768 in German and in Spanish, for a person to
# review: a picture of every moment in $(BUILD_DIR)/tour/<pass>/ and labelled contact sheets in
# $(BUILD_DIR)/tour.png, tour-de.png and tour-es.png (texts cut off are reported as it goes)
tour: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/tour/tour $(BUILD_DIR)/tour $(BUILD_DIR)/tour.png

# Fuzzes the notation parser with libFuzzer (clang) for FUZZ_SECONDS; crashes land in
# build-fuzz/artifacts/ and belong in tests/notation/fuzz_cases/ once understood.
FUZZ_SECONDS ?= 600
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCANTORELA_SANITIZE=address -DCANTORELA_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz --target fuzz_gmn_parser -j $(JOBS)
	mkdir -p build-fuzz/corpus build-fuzz/artifacts
	build-fuzz/tests/fuzz_gmn_parser -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -artifact_prefix=build-fuzz/artifacts/ \
		build-fuzz/corpus tests/notation/fuzz_seeds tests/notation/fuzz_cases

# Brings translations/*.ts in step with the sources (lupdate): new texts come in unfinished for
# the translators, texts no longer in the sources go. Never part of a build.
.PHONY: translations
translations: $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) --target update_translations

clean:
	rm -rf $(BUILD_DIR) build-asan build-tsan build-fuzz
