#include "MarkerSupport.hpp"

#include <gtest/gtest.h>
#include <strings.h>

#include <cstring>

#include "LibraryServices.hpp"

std::string OwnLibraryFolder() { return SURVANTO_LIBRARY_PATH; }

void LoadOwnLibrary(SimHost::Host& host)
{
    std::string error;
    EXPECT_TRUE(SimHost::LoadLibraryFolder(host, OwnLibraryFolder(), error)) << error;
}

std::vector<const SimHost::StoredElement*> PlacedObjectsOf(const SimHost::ProjectModel& model, const char* uniqueId)
{
    std::vector<const SimHost::StoredElement*> placed;
    for (const SimHost::StoredElement& element : model.content.elements)
    {
        const SimHost::LibraryPartEntry* part = model.LibraryPartOf(element.record);
        if (part != nullptr && part->uniqueId == uniqueId) placed.push_back(&element);
    }
    return placed;
}

API_AddParType MakeParameter(const char* name, std::int32_t type, double value)
{
    API_AddParType parameter;
    std::strncpy(parameter.name, name, sizeof parameter.name - 1);
    parameter.typeID = type;
    parameter.value = value;
    return parameter;
}

namespace
{

const API_AddParType* Parameter(const SimHost::StoredElement& element, const char* name)
{
    for (const API_AddParType& p : element.memo.params)
        if (strncasecmp(p.name, name, sizeof p.name) == 0) return &p;
    ADD_FAILURE() << "no parameter " << name;
    return nullptr;
}

}  // namespace

double NumberParameter(const SimHost::StoredElement& element, const char* name)
{
    const API_AddParType* p = Parameter(element, name);
    return p == nullptr ? 0.0 : p->value;
}

std::string TextParameter(const SimHost::StoredElement& element, const char* name)
{
    const API_AddParType* p = Parameter(element, name);
    return p == nullptr ? std::string() : p->text.ToUtf8();
}
