# make run: install, build and run the tool; make test: install, build, run every test;
# make dist: the release archive for Windows users in dist/.
BUILD ?= build

.PHONY: all deps build test run bench dist clean

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
	@bash scripts/bench.sh $(BUILD)

# The version is the one project() gives in CMakeLists.txt.
dist: build
	@bash scripts/dist.sh $(BUILD)/i686/bin/copiaridotta.exe \
	    "$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(BUILD)/i686/CMakeCache.txt)" dist

clean:
	rm -rf $(BUILD) dist
