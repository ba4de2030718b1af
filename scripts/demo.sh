#!/usr/bin/env bash
# Builds the add-on and survanto-host and plays the demo scenarios: the host starts
# on a new project and shows what the add-on registered and did; a slab is measured
# in the curve palette, which shows its items and prompt at every point; then
# morphs are made from selected measured-point markers and drawn into
# build/demo/morphs.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DSURVANTO_TESTS=OFF >/dev/null
cmake --build build/demo -j "$(nproc)"
# The work folder keeps what the demo writes, the views as PNG files among it.
rm -rf build/demo/work
build/demo/bin/survanto-host --work "$PWD/build/demo/work" scenarios/demo.scn
build/demo/bin/survanto-host scenarios/curve-slab.scn
(cd build/demo && bin/survanto-host ../../scenarios/demo-morphs.scn)
rm -rf build/demo/pointclouds
build/demo/bin/survanto-host --work "$PWD/build/demo/pointclouds" scenarios/demo-pointclouds.scn
echo "The demo's views: build/demo/work/orthophoto-section.png, build/demo/work/orthophoto-floorplan.png"
echo "The clouds from above: build/demo/pointclouds/clouds.png"
