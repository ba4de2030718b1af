// The project's pens, line types, fills and fonts, as the host hands them out.
#include "AttributeServices.hpp"

#include <cstring>
#include <string>

#include "ProfileLibrary.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

API_Attribute NewAttribute(std::int32_t type, std::int16_t index, const char* name)
{
    API_Attribute attribute;
    std::memset(&attribute, 0, sizeof attribute);
    attribute.header.typeID = type;
    attribute.header.index = index;
    std::strncpy(attribute.header.name, name, API_AttrNameLen - 1);
    return attribute;
}

void AddPen(ProjectContent& content, std::int16_t index, double red, double green, double blue, double width)
{
    API_Attribute pen = NewAttribute(API_PenID, index, ("Stift " + std::to_string(index)).c_str());
    pen.pen.rgb = {red, green, blue};
    pen.pen.width = width;
    content.attributes[{API_PenID, index}] = pen;
}

void AddFill(ProjectContent& content, std::int16_t index, const char* name, std::int16_t kind, std::uint8_t row)
{
    API_Attribute fill = NewAttribute(API_FilltypeID, index, name);
    fill.filltype.subType = kind;
    // A row pattern turned by one column per row.
    for (int y = 0; y < 8; ++y) fill.filltype.bitPat[y] = static_cast<std::uint8_t>((row >> y) | (row << (8 - y)));
    content.attributes[{API_FilltypeID, index}] = fill;
}

std::string NameOf(const API_Attr_Head& head) { return std::string(head.name, strnlen(head.name, API_AttrNameLen)); }

GSErrCode SearchLayer(const ProjectModel& model, API_Attr_Head& head)
{
    const std::string name = NameOf(head);
    for (const auto& [index, layer] : model.content.layers)
        if (layer.name == name)
        {
            head.index = index;
            return NoError;
        }
    return APIERR_DELETED;
}

GSErrCode SearchAttribute(HostToken token, API_Attr_Head* head)
{
    if (head == nullptr) return APIERR_BADPARS;
    const ProjectModel& model = Host::From(token).model_;
    if (head->typeID == API_LayerID) return SearchLayer(model, *head);
    const std::size_t length = strnlen(head->name, API_AttrNameLen);
    for (const auto& [key, attribute] : model.content.attributes)
    {
        if (key.first != head->typeID) continue;
        if (strnlen(attribute.header.name, API_AttrNameLen) == length &&
            std::memcmp(attribute.header.name, head->name, length) == 0)
        {
            head->index = key.second;
            return NoError;
        }
    }
    return APIERR_DELETED;
}

// A new layer takes the next free index; a name without text, or one another
// layer has, is refused.
GSErrCode CreateAttribute(HostToken token, API_Attribute* attribute)
{
    if (attribute == nullptr || attribute->header.typeID != API_LayerID) return APIERR_BADPARS;
    ProjectModel& model = Host::From(token).model_;
    API_Attr_Head probe = attribute->header;
    const std::string name = NameOf(attribute->header);
    if (name.empty() || SearchLayer(model, probe) == NoError) return APIERR_BADPARS;
    auto& layers = model.content.layers;
    const std::int16_t index = layers.empty() ? std::int16_t(1) : static_cast<std::int16_t>(layers.rbegin()->first + 1);
    if (index <= 0) return APIERR_MEMFULL;
    layers[index] = LayerEntry {name, attribute->header.flags & (APILay_Hidden | APILay_Locked)};
    attribute->header.index = index;
    model.MarkChanged();
    Host::From(token).Log("HostCreateAttribute layer " + name);
    return NoError;
}

}  // namespace

void AddStandardAttributes(ProjectContent& content)
{
    AddPen(content, 1, 0.0, 0.0, 0.0, 0.18);
    AddPen(content, 2, 1.0, 0.0, 0.0, 0.25);
    AddPen(content, 3, 0.0, 0.6, 0.0, 0.25);
    AddPen(content, 4, 0.0, 0.0, 1.0, 0.25);
    AddPen(content, 5, 0.5, 0.5, 0.5, 0.35);
    AddPen(content, 6, 1.0, 1.0, 0.0, 0.5);
    AddPen(content, 7, 0.8, 0.8, 0.8, 0.13);
    AddPen(content, 8, 1.0, 1.0, 1.0, 0.7);
    content.attributes[{API_LinetypeID, 1}] = NewAttribute(API_LinetypeID, 1, "Volllinie");
    content.attributes[{API_LinetypeID, 2}] = NewAttribute(API_LinetypeID, 2, "Strichlinie");
    AddFill(content, 1, "Leer", APIFill_Empty, 0x00);
    AddFill(content, 2, "Vollfüllung", APIFill_Solid, 0xFF);
    AddFill(content, 3, "Schraffur 45°", APIFill_Vector, 0x80);
    API_FilltypeType& hatching = content.attributes[{API_FilltypeID, 3}].filltype;
    hatching.lineCount = 1;
    hatching.lines[0] = {3.14159265358979323846 / 4, 2.0, 0.0};
    content.attributes[{API_FontID, 1}] = NewAttribute(API_FontID, 1, "Arial");
    content.attributes[{API_FontID, 2}] = NewAttribute(API_FontID, 2, "Times New Roman");
    AddStandardProfiles(content);
}

GSErrCode GetStoredAttribute(const ProjectModel& model, API_Attribute* attribute)
{
    const auto it = model.content.attributes.find({attribute->header.typeID, attribute->header.index});
    if (it == model.content.attributes.end()) return APIERR_DELETED;
    GS::UniString* const namePtr = attribute->header.uniStringNamePtr;
    *attribute = it->second;
    attribute->header.uniStringNamePtr = namePtr;
    if (namePtr != nullptr) *namePtr = GS::UniString(std::string(attribute->header.name));
    return NoError;
}

void FillAttributeServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostSearchAttribute, SearchAttribute);
    SIMHOST_SET_SERVICE(table, HostCreateAttribute, CreateAttribute);
}

void AddAttributeFacts(const Host& host, Facts& facts)
{
    std::string requests;
    for (const auto& [key, count] : host.model_.attributeRequests)
        requests += (requests.empty() ? "" : " ") + std::to_string(key.first) + ":" + std::to_string(key.second) + "x" +
                    std::to_string(count);
    facts["attribute-requests"] = requests.empty() ? "none" : requests;
}

}  // namespace SimHost
