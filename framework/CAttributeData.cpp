#include "framework/CAttributeData.hpp"

#include <cstring>
#include <limits>

#include "API/AddOnInterface.hpp"

CAttributeData::~CAttributeData() { Clear(); }

const CAttributeData::AttributeData* CAttributeData::GetAttribute(std::int32_t typeID, std::int32_t index)
{
    if (index < std::numeric_limits<std::int16_t>::min() || index > std::numeric_limits<std::int16_t>::max()) return nullptr;
    const auto shortIndex = static_cast<std::int16_t>(index);
    for (const AttributeData& record : records_)
        if (record.attribute.header.index == shortIndex && record.attribute.header.typeID == typeID) return &record;
    AttributeData fetched;
    std::memset(&fetched, 0, sizeof fetched);
    fetched.attribute.header.typeID = typeID;
    fetched.attribute.header.index = shortIndex;
    if (HostGetAttribute(&fetched.attribute) != NoError) return nullptr;
    fetched.attribute.header.uniStringNamePtr = nullptr;
    if (!records_.Add(fetched)) return nullptr;
    return &records_[records_.GetSize() - 1];
}

void CAttributeData::Clear() { records_.Clear(); }
