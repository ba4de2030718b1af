#pragma once
#include <cstdint>

#include "GS/UniString.hpp"
#include "VectorImage/VectorImage.hpp"
#include "framework/TypVektor.hpp"

// Sorts names ascending, their drawings with them, by selection sort: the first of
// equal names stays first. `selected` (1-based, 0 none) follows its entry.
void SortNamesWithDrawings(TypVektor<GS::UniString>& names, TypVektor<VectorImage>& drawings, std::int16_t& selected);
