#pragma once
#include <cstring>
#include <gtest/gtest.h>

#include "API/AddOnInterface.hpp"
#include "InProcessHost.hpp"

// An in-process host with a few ways to put elements into its project.
class HostApiTest : public ::testing::Test
{
protected:
    InProcessHost host;

    SimHost::ProjectModel& Model() { return host->model_; }

    static API_AddParType Parameter(const char* name, double value)
    {
        API_AddParType p;
        std::strncpy(p.name, name, sizeof p.name - 1);
        p.value = value;
        return p;
    }

    void AddLayer(std::int16_t index, std::int32_t flags)
    {
        Model().content.layers[index] = SimHost::LayerEntry {"Ebene", flags};
    }

    static GSErrCode Undoable(const APIUndoableCommand& command) { return HostCallUndoableCommand(GS::UniString(), command); }

    API_Guid CreateObject(double x, double y, double sizeA, double sizeB, std::int16_t layer = 1)
    {
        API_Element e;
        e.header.typeID = API_ObjectID;
        EXPECT_EQ(HostGetElementDefaults(&e, nullptr), NoError);
        e.header.layer = layer;
        e.object.position = {x, y};
        e.object.sizeA = sizeA;
        e.object.sizeB = sizeB;
        API_ElementMemo memo;
        memo.params = {Parameter("zzyzx", 0.3), Parameter("bIsActual", 0.0)};
        EXPECT_EQ(Undoable([&] { return HostCreateElement(&e, &memo); }), NoError);
        return e.header.guid;
    }

    API_Element Get(const API_Guid& guid)
    {
        API_Element e;
        e.header.guid = guid;
        EXPECT_EQ(HostGetElement(&e), NoError);
        return e;
    }

    template <typename Field>
    static void Mark(Field& maskField)
    {
        reinterpret_cast<std::uint8_t*>(&maskField)[0] = APIMaskMarker;
    }
};
