#!/usr/bin/env bash
# Builds the add-on and survanto-host and plays the demo scenario: the host starts
# on a new project and shows what the add-on registered and did.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DSURVANTO_TESTS=OFF >/dev/null
cmake --build build/demo -j "$(nproc)"
build/demo/bin/survanto-host scenarios/demo.scn
# The point-cloud demo keeps its work folder: the picture of the clouds stays there.
rm -rf build/demo/work
build/demo/bin/survanto-host --work build/demo/work scenarios/demo-pointclouds.scn
echo "The clouds from above: build/demo/work/clouds.png"
