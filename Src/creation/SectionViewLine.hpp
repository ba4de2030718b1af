#pragma once
#include <optional>

#include "Geometry/Geometry.hpp"
#include "framework/Vektor2D.hpp"

// The section line of the section, elevation or interior elevation in front, and
// the side its view looks at. The view's x of a plan point is its distance along
// the line from where the project origin falls onto it, negative against the
// line's direction, mirrored for a view to the right.
class SectionViewLine
{
public:
    // None unless a section-type window is in front and its database belongs to
    // an element whose memo holds the segment the window shows.
    static std::optional<SectionViewLine> OfFrontWindow();

    double ViewX(const Vektor2D& plan) const;
    // The plan point of the line at the view's x.
    Vektor2D PlanPointAt(double viewX) const;

private:
    SectionViewLine(const Geometry::Sector& line, bool viewToLeft) : line_(line), viewToLeft_(viewToLeft) {}

    Vektor2D Direction() const;
    Vektor2D OriginFoot() const;

    Geometry::Sector line_;
    bool viewToLeft_;
};
