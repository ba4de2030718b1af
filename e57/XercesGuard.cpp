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

}  // namespace

XercesGuard::XercesGuard() {
    const std::lock_guard<std::mutex> lock(guardMutex());
    try {
        xercesc::XMLPlatformUtils::Initialize();
    } catch (const xercesc::XMLException&) {
        throw E57Exception(ErrorCode::BadXml, "cannot initialise the XML parser");
    }
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
