#pragma once
#include <functional>
#include <vector>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"

// A new project with the add-on's object library loaded. Each element kind's
// markers have a layer and a pen of their own: kind k on layer 10 + k with pen
// 20 + k; the free area on layer 30 with pen 31, picked points with pen 40,
// stations on layer 5. The measuring state is left as it was found.
class MarkerFixture : public MainObjectFixture
{
public:
    static constexpr std::int16_t FreeAreaLayer = 30;
    static constexpr std::int16_t FreeAreaPen = 31;
    static constexpr std::int16_t PickedPointPen = 40;
    static constexpr std::int16_t StationLayer = 5;

protected:
    void SetUp() override;
    void TearDown() override;

    // The layers and pens above, whatever a test did to them.
    void GiveEachKindItsLayer();
    void MeasurePoint(double x, double y, double z);
    std::vector<const SimHost::StoredElement*> PointMarkers() { return PlacedObjectsOf(Model(), MarkerPart::MeasuredPoint); }
    std::vector<const SimHost::StoredElement*> StationMarkers(const char* part = MarkerPart::InstrumentStation)
    {
        return PlacedObjectsOf(Model(), part);
    }
    // A station marker as an earlier session left it in the project.
    API_Guid PutStationMarker(const char* part, const char* id, double x, double y, double top, bool active);
    // Answers every modal dialog with the function and counts the questions.
    void AnswerDialogs(std::function<short(DG::Dialog&)> answer);

    int dialogsShown = 0;

private:
    MeasuringState before_;
};
