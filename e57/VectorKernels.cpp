#include "e57/VectorKernels.hpp"

#include <atomic>

namespace e57 {
namespace {

std::atomic<bool> allowed{true};

}  // namespace

bool VectorKernels::available() {
#if defined(__x86_64__)
    static const bool present = __builtin_cpu_supports("avx2");
    return present;
#else
    return false;
#endif
}

bool VectorKernels::inUse() { return allowed && available(); }

void VectorKernels::allow(bool allowedNow) { allowed = allowedNow; }

}  // namespace e57
