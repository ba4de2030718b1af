#!/usr/bin/env bash
# Builds the add-on and survanto-host and plays the demo scenarios: the host starts
# on a new project and shows what the add-on registered and did, and its settings
# dialog as the user opens it; a slab is measured
# in the curve palette, which shows its items and prompt at every point; then
# morphs are made from selected measured-point markers and drawn into
# build/demo/morphs.png (in 3D: build/demo/morphs-3d.png), and a measured square
# profile is swept along a measured L into build/demo/morph-rail.png and
# build/demo/morph-rail-3d.png; a round chapel gets a dome on its curved wall and
# its nave a barrel vault, drawn in 3D into build/demo/domes.png; a roof is drawn with the polygon input and a
# wall with a window measured as a trapezoid, both drawn into
# build/demo/roof-and-wall.png;
# cross-section profiles are made from fills, taken from the host's profile library
# and measured, and their previews written as PNG files; E57 scans are imported and
# the clouds drawn from above; last, a posed scan's camera view is opened and turned,
# raised and zoomed with the panorama palette, and walked away from in the 3D window,
# with a picture of the 3D window after each step; last, generated photos are
# listed with thumbnails, one turned, two placed as photo objects and one selected.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
source scripts/jobs.sh
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DSURVANTO_TESTS=OFF >/dev/null
cmake --build build/demo "${build_jobs[@]}"
# The work folder keeps what the demo writes, the views as PNG files among it.
rm -rf build/demo/work
build/demo/bin/survanto-host --work "$PWD/build/demo/work" scenarios/demo.scn
build/demo/bin/survanto-host scenarios/curve-slab.scn
# These four leave their pictures in build/demo itself, each starting from a clean host.
for scenario in demo-morphs demo-morph-rail demo-domes demo-roof-walls; do
  build/demo/bin/survanto-host --work "$PWD/build/demo" "scenarios/$scenario.scn"
done
rm -rf build/demo/profiles
build/demo/bin/survanto-host --work "$PWD/build/demo/profiles" scenarios/demo-profiles.scn
rm -rf build/demo/pointclouds
build/demo/bin/survanto-host --work "$PWD/build/demo/pointclouds" scenarios/demo-pointclouds.scn
rm -rf build/demo/panorama
build/demo/bin/survanto-host --work "$PWD/build/demo/panorama" scenarios/demo-panorama.scn
rm -rf build/demo/pointlists
build/demo/bin/survanto-host --work "$PWD/build/demo/pointlists" scenarios/demo-pointlists.scn
rm -rf build/demo/photos
build/demo/bin/survanto-host --work "$PWD/build/demo/photos" scenarios/demo-photos.scn
echo "The demo's views: build/demo/work/orthophoto-section.png, build/demo/work/orthophoto-floorplan.png, build/demo/morphs.png, build/demo/morphs-3d.png, build/demo/morph-rail.png, build/demo/morph-rail-3d.png, build/demo/domes.png, build/demo/roof-and-wall.png"
echo "The profile previews: build/demo/profiles/*.png"
echo "The clouds from above: build/demo/pointclouds/clouds.png"
echo "The exported point list: build/demo/pointlists/points.xyz"
echo "The 3D window looking round from a scanner: build/demo/panorama/panorama-*.png"
echo "The photo folder palette's list and the photo preview: build/demo/photos/photo-list.png, build/demo/photos/preview.png"
