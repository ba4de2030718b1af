#pragma once

namespace e57 {

// The reader's AVX2 kernels run where the processor has AVX2, unless they are turned
// off for the whole process (tests do so to cover the portable kernels on the same
// machine). A reader keeps the choice it found when it was made.
class VectorKernels {
public:
    static bool available();
    static bool inUse();
    static void allow(bool allowed);
};

}  // namespace e57
