#pragma once
#include "DG/DG.hpp"
#include "VectorImage/VectorImage.hpp"

// Draws a profile with its origin mark, fitted with a margin of a twentieth of
// the item's smaller side onto white, into the user item the update data names.
void DrawProfilePreview(const VectorImage& drawing, const DG::UserUpdateData* data);
