#pragma once
#include <cstdint>

#include "API/Attributes.hpp"
#include "framework/TypVektor.hpp"

// Process-wide cache of host attributes (pens, line types, fills, fonts). Each
// attribute is asked of the host once; the pointers handed out stay valid until
// the cache goes, since its list never moves a stored record.
class CAttributeData
{
public:
    struct AttributeData
    {
        API_Attribute attribute;
        std::uint8_t reserved[64];
    };

    CAttributeData() = default;
    CAttributeData(const CAttributeData&) = delete;
    CAttributeData& operator=(const CAttributeData&) = delete;
    ~CAttributeData();

    // The record of that type and index; null when the host has none, the
    // record cannot be stored or the index lies outside the host's 16-bit range.
    // A failed request is not remembered.
    const AttributeData* GetAttribute(std::int32_t typeID, std::int32_t index);
    void Clear();

private:
    TypVektor<AttributeData> records_;
};
