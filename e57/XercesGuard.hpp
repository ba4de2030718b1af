#pragma once

namespace e57 {

// Keeps Xerces initialised while the guard lives. Xerces counts its own
// Initialize/Terminate pairs; the lock keeps those counts consistent when
// other code in the process starts or stops Xerces at the same time.
class XercesGuard {
public:
    XercesGuard();
    ~XercesGuard();
    XercesGuard(const XercesGuard&) = delete;
    XercesGuard& operator=(const XercesGuard&) = delete;

    static int activeGuards();
};

}  // namespace e57
