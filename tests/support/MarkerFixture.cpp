#include "MarkerFixture.hpp"

#include <cstring>

#include "frame/AddOnGlobals.hpp"

void MarkerFixture::SetUp()
{
    before_ = measuringState;
    MainObjectFixture::SetUp();
    LoadOwnLibrary(Host());
    GiveEachKindItsLayer();
}

void MarkerFixture::GiveEachKindItsLayer()
{
    for (std::int16_t kind = 1; kind <= 10; ++kind)
    {
        const auto layer = static_cast<std::int16_t>(10 + kind);
        Model().content.layers[layer] = {"Kind " + std::to_string(kind), 0};
        Main().perTypeLayers[static_cast<std::size_t>(kind)] = layer;
        Main().perTypePens[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(20 + kind);
    }
    Model().content.layers[FreeAreaLayer] = {"Freifläche", 0};
    Model().content.layers[StationLayer] = {"Standorte", 0};
    Main().freeAreaLayer = FreeAreaLayer;
    Main().freeAreaPen = FreeAreaPen;
    Main().pickedPointPen = PickedPointPen;
    Main().stationLayer = StationLayer;
}

void MarkerFixture::TearDown()
{
    DG::SetModalAnswerer(nullptr);
    MainObjectFixture::TearDown();
    measuringState = before_;
}

void MarkerFixture::MeasurePoint(double x, double y, double z)
{
    measuringState.measuredX = x;
    measuringState.measuredY = y;
    measuringState.measuredZ = z;
}

API_Guid MarkerFixture::PutStationMarker(const char* part, const char* id, double x, double y, double top, bool active)
{
    SimHost::StoredElement marker;
    marker.record.header.typeID = API_ObjectID;
    marker.record.header.layer = StationLayer;
    marker.record.header.guid = Model().NewGuid();
    for (const auto& [index, entry] : Model().libraryParts)
        if (entry.uniqueId == part)
        {
            marker.record.object.libraryPartIndex = index;
            marker.memo.params = entry.params;
        }
    marker.record.object.position = {x, y};
    for (API_AddParType& p : marker.memo.params)
    {
        if (std::strcmp(p.name, "strStandortID") == 0) p.text = id;
        if (std::strcmp(p.name, "bIsActual") == 0) p.value = active ? 1.0 : 0.0;
        if (std::strcmp(p.name, "ZZYZX") == 0) marker.record.object.elevation = top - p.value;
    }
    Model().content.elements.push_back(marker);
    return marker.record.header.guid;
}

void MarkerFixture::AnswerDialogs(std::function<short(DG::Dialog&)> answer)
{
    DG::SetModalAnswerer([this, answer](DG::Dialog& dialog) {
        ++dialogsShown;
        return answer(dialog);
    });
}
