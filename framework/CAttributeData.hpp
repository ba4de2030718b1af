#pragma once

// Process-wide cache of host attributes (pens, line types, fills, fonts).
class CAttributeData {
public:
    CAttributeData() = default;
};
