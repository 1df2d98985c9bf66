# make build | make run | make test | make bench | make dist | make screenshots
BUILD ?= build
JOBS ?= 2

.PHONY: setup build run test bench dist screenshots clean

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@bash bench/run.sh $(BUILD)

dist: setup
	@JOBS=$(JOBS) bash scripts/dist.sh $(BUILD)

screenshots: build
	@bash scripts/screenshots.sh $(BUILD) docs

clean:
	rm -rf $(BUILD) dist
