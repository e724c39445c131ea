# Kvadra Tessera: cross-built with MinGW-w64, tested under Wine.
#   make        build dist/x64/Kvadra.dll and dist/x86/Kvadra.dll
#   make test   build, then run every test under Wine in an X server, against
#               the x64 DLL and, where wine32 is installed, the x86 DLL
#   make bench  run the benchmarks under Wine, for both DLLs likewise
#   make demo   run the demo host (DPI=144: with the screen at 144 DPI)
#   make pages  write pictures of the three property pages to dist/
#   make dist   write the installer packages dist/kvadra-tessera-VERSION-x64.msi
#               and -x86.msi and the archive dist/kvadra-tessera-VERSION.zip,
#               and check them under Wine (msiexec in fresh prefixes)
#   make fuzz   fuzz the stream reader natively (clang, libFuzzer, ASan, UBSan)

BUILD := build
X64 := $(BUILD)/x64
X86 := $(BUILD)/x86
JOBS ?= 2
VERSION := $(shell cat VERSION)
# The screen's DPI for the demo and the pages pictures; empty is Wine's 96.
DPI ?=
DEMO_PNG := dist/demo$(if $(DPI),-$(DPI)dpi).png
PAGE_PNGS := $(foreach p,general cells size,dist/page-$(p)$(if $(DPI),-$(DPI)dpi).png)
MAKEFLAGS += --no-print-directory

.PHONY: all dlls test bench demo pages dist fuzz bootstrap clean

all: dlls

bootstrap:
	@tools/bootstrap.sh

$(X64)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(X64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x64.cmake \
	  -DKVADRA_TESTS=ON -DKVADRA_DIST_DIR=$(CURDIR)/dist/x64 >/dev/null

$(X86)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(X86) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86.cmake \
	  -DKVADRA_TESTS=ON -DKVADRA_DIST_DIR=$(CURDIR)/dist/x86 >/dev/null

dlls: bootstrap $(X64)/CMakeCache.txt $(X86)/CMakeCache.txt
	cmake --build $(X64) --target Kvadra -j $(JOBS)
	cmake --build $(X86) --target Kvadra -j $(JOBS)

test: dlls
	tools/check-dll.sh dist/x64/Kvadra.dll dist/x86/Kvadra.dll
	JOBS=$(JOBS) tools/run-both.sh test

bench: dlls
	JOBS=$(JOBS) tools/run-both.sh bench

demo: dlls
	cmake --build $(X64) --target kvadra_demo -j $(JOBS)
	@KVADRA_DPI=$(DPI) tools/run-demo.sh $(X64)/demo/kvadra_demo.exe dist/x64/Kvadra.dll $(DEMO_PNG)

pages: dlls
	cmake --build $(X64) --target kvadra_demo -j $(JOBS)
	@KVADRA_DPI=$(DPI) tools/run-demo.sh $(X64)/demo/kvadra_demo.exe dist/x64/Kvadra.dll $(PAGE_PNGS)
dist: dlls
	@tools/make-dist.sh $(VERSION)

# Not part of test. The reader natively: FUZZ_RUNS inputs, seeded from
# fuzz/seeds, new finds kept in the build tree.
FUZZ_RUNS ?= 1000000
FUZZ_DIR := $(BUILD)/fuzz
fuzz:
	@mkdir -p $(FUZZ_DIR)/corpus
	clang++-14 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
	  -Isrc fuzz/stream_fuzz.cpp src/control/StoredRecord.cpp -o $(FUZZ_DIR)/stream_fuzz
	$(FUZZ_DIR)/stream_fuzz -runs=$(FUZZ_RUNS) -max_len=8192 -timeout=5 -dict=fuzz/stream.dict \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus fuzz/seeds

clean:
	rm -rf $(BUILD) dist
