# Qel_Vesk_USB: build, run and test.
#   make deps   install the Debian packages the build and tests need
#   make run    build and start the program (with the simulated camera)
#   make test   build and run every test
#   make bench  build and run the benchmarks
#   make deps-peers  install the libraries the benchmarks compare against
#               (optional: the benchmarks skip them when absent)

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

DEBS = cmake g++ make pkg-config \
       qt6-base-dev libgl-dev libusb-1.0-0-dev libhidapi-dev \
       libgtest-dev libgmock-dev libbenchmark-dev \
       xvfb xauth python3 python3-astropy fitsverify libtiff-tools python3-pil \
       libindi-dev indi-bin

PEER_DEBS = libopencv-dev libcfitsio-dev

.PHONY: deps deps-peers build run test bench clean

deps:
	@./tools/install-missing-debs $(DEBS)

deps-peers:
	@./tools/install-missing-debs $(PEER_DEBS)

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/qelvesk --simulate

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DQELVESK_BENCH=ON
	cmake --build $(BUILD) -j$(JOBS) --target qelvesk_bench qelvesk-cli
	./$(BUILD)/qelvesk_bench
	./bench/cooler_monitor_cpu.sh $(BUILD)/qelvesk-cli

clean:
	rm -rf $(BUILD) build-asan
