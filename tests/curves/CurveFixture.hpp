#pragma once
#include <vector>

#include "CurveChecks.hpp"
#include "MainObjectFixture.hpp"

// The main object with its curve palette against an empty project; the station
// stands at the plan origin.
class CurveFixture : public MainObjectFixture
{
protected:
    void SetUp() override;

    Curve3DPalette& Curves() { return Main().curvePalette; }
    void SetCurve(const std::vector<API_Coord3D>& points, const std::vector<Curve3DPalette::arcData>& arcs = {});
    void PlaceStation(double x, double y);
    API_Element& Defaults(API_ElemTypeID type) { return Model().DefaultsFor(type, 0).record; }
    void AddLayer(std::int16_t layer);
    // The stored elements of that type, in creation order.
    std::vector<const SimHost::StoredElement*> Stored(API_ElemTypeID type);
};
