#include "e57/XercesGuard.hpp"

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include <mutex>

#include "e57/E57Exception.hpp"

namespace e57 {
namespace {

std::mutex& guardMutex() {
    static std::mutex mutex;
    return mutex;
}

int guardCount = 0;

void initialise() {
    try {
        xercesc::XMLPlatformUtils::Initialize();
    } catch (const xercesc::XMLException&) {
        throw E57Exception(ErrorCode::BadXml, "cannot initialise the XML parser");
    }
}

// Setting Xerces up costs a millisecond, more than reading a small scan: one
// initialisation of its own stays until the program ends or the module that holds
// the reader is unloaded.
struct LastingInitialisation {
    LastingInitialisation() { initialise(); }
    ~LastingInitialisation() { xercesc::XMLPlatformUtils::Terminate(); }
    LastingInitialisation(const LastingInitialisation&) = delete;
    LastingInitialisation& operator=(const LastingInitialisation&) = delete;
};

}  // namespace

XercesGuard::XercesGuard() {
    const std::lock_guard<std::mutex> lock(guardMutex());
    static const LastingInitialisation lasting;
    initialise();
    ++guardCount;
}

XercesGuard::~XercesGuard() {
    const std::lock_guard<std::mutex> lock(guardMutex());
    --guardCount;
    xercesc::XMLPlatformUtils::Terminate();
}

int XercesGuard::activeGuards() {
    const std::lock_guard<std::mutex> lock(guardMutex());
    return guardCount;
}

}  // namespace e57
