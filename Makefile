# make run: install, build and run the tool; make test: install, build, run every test.
BUILD ?= build

.PHONY: all deps build test run bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@bash scripts/build.sh $(BUILD) >/dev/null

test: deps
	@tree=$$(bash scripts/build.sh $(BUILD)) && \
	bash scripts/with-display.sh $$tree ctest --test-dir $$tree --output-on-failure

run: deps
	@tree=$$(bash scripts/build.sh $(BUILD)) && bash scripts/run.sh $$tree

bench: deps
	@tree=$$(bash scripts/build.sh $(BUILD)) && bash scripts/bench.sh $$tree

clean:
	rm -rf $(BUILD)
