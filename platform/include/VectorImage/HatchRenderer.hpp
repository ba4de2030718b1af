#pragma once
#include <cstdint>

#include "API/Attributes.hpp"
#include "Geometry/Point2.hpp"
#include "VectorImage/VectorImageRecords.hpp"

// The host's hatch renderer: it expands a fill's pattern into lines within the
// fill's polygon and hands each to the caller.

// Where attribute records come from.
class AttributeSet
{
public:
    virtual ~AttributeSet() = default;
    // Fills the record whose header names type and index; 0 when the set has it.
    virtual GSErrCode GetAttribute(API_Attribute* attribute) const = 0;
};

// The host's attributes of the running project; the add-on's side of the
// interface defines it.
const AttributeSet& GetCurrentAttributeSet();

class AttributeReader
{
public:
    explicit AttributeReader(const AttributeSet& set) : set_(set) {}
    GSErrCode GetFill(std::int16_t index, API_FilltypeType* fill) const;

private:
    const AttributeSet& set_;
};

// What the renderer draws with. The pattern's spacings and offsets (paper
// millimetres) become drawing lengths at the plan scale (100 for 1:100); a line
// family denser on paper than the minimum spacing (paper metres) is left out.
struct HatchDrawContext
{
    using FillProc = GSErrCode (*)(const HatchDrawContext* context, const HatchObject& hatch);
    using LineProc = GSErrCode (*)(const HatchDrawContext* context, const Geometry::Point2<double>& begC,
                                   const Geometry::Point2<double>& endC, const VBAttr::ExtendedPen& pen);
    using ContourProc = GSErrCode (*)(const HatchDrawContext* context, const HatchObject& hatch);

    FillProc fillProc;
    LineProc lineProc;
    ContourProc contourProc;
    double planScale;
    double minSpacing;
    void* userData;
};

// Calls the line procedure once for every stretch of a pattern line inside the
// fill's polygon (even-odd over its rings, arcs followed within 0.001), with the
// fill's foreground pen. Unless patternOnly, the fill procedure comes first and
// the contour procedure last. An error for a fill the reader does not know.
GSErrCode DrawSyHatch(const AttributeReader& reader, const HatchObject& hatch, const HatchDrawContext& context, bool patternOnly);
