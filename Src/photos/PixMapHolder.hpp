#pragma once
#include <memory>

#include "GX/PixMap.hpp"

// A host pixmap released once, when its holder goes.
struct PixMapRelease
{
    void operator()(GSPixMap* pixMap) const { GXDeleteGSPixMap(pixMap); }
};
using PixMapHolder = std::unique_ptr<GSPixMap, PixMapRelease>;
