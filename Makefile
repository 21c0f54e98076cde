# The two commands of the README; everything else lives in scripts/.
.PHONY: demo test build clean
demo:
	scripts/demo.sh
test:
	scripts/test.sh
build:
	scripts/build.sh
clean:
	rm -rf build
