# Sourced by the build scripts. The job counts are left to CMake and CTest when the
# user set CMAKE_BUILD_PARALLEL_LEVEL or CTEST_PARALLEL_LEVEL (a shared machine);
# otherwise one job per processor.
build_jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || build_jobs=(-j "$(nproc)")
test_jobs=()
[ -n "${CTEST_PARALLEL_LEVEL:-}" ] || test_jobs=(-j "$(nproc)")
