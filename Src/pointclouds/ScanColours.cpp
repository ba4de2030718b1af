#include "pointclouds/ScanColours.hpp"

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"

namespace
{

using Range = std::pair<double, double>;

constexpr const char* ColourFields[3] = {"colorRed", "colorGreen", "colorBlue"};
constexpr const char* ColourLimitNames[3] = {"colorRed", "colorGreen", "colorBlue"};

bool IsNumber(const e57::Node& node)
{
    return node.is(e57::NodeType::Float) || node.is(e57::NodeType::Integer) || node.is(e57::NodeType::ScaledInteger);
}

std::optional<double> NumberIn(const e57::StructureNode& structure, const std::string& name)
{
    if (!structure.isDefined(name)) return std::nullopt;
    const e57::Node node = structure.get(name);
    if (node.is(e57::NodeType::Float)) return e57::FloatNode(node).value();
    if (node.is(e57::NodeType::Integer)) return static_cast<double>(e57::IntegerNode(node).value());
    if (node.is(e57::NodeType::ScaledInteger)) return e57::ScaledIntegerNode(node).scaledValue();
    return std::nullopt;
}

// The range an integer field can hold, scaled as it is read.
std::optional<Range> FieldRange(const e57::Node& field)
{
    if (field.is(e57::NodeType::Integer))
    {
        const e57::IntegerNode integer(field);
        return Range {static_cast<double>(integer.minimum()), static_cast<double>(integer.maximum())};
    }
    if (field.is(e57::NodeType::ScaledInteger))
    {
        const e57::ScaledIntegerNode scaled(field);
        const double a = static_cast<double>(scaled.minimum()) * scaled.scale() + scaled.offset();
        const double b = static_cast<double>(scaled.maximum()) * scaled.scale() + scaled.offset();
        return Range {std::min(a, b), std::max(a, b)};
    }
    return std::nullopt;
}

bool IsUsable(const std::optional<Range>& range)
{
    return range && std::isfinite(range->first) && std::isfinite(range->second) && range->second > range->first;
}

// The scan's limits of a value ("<prefix>Minimum", "<prefix>Maximum"); a side it
// does not give is the field's.
std::optional<Range> LimitsRange(const e57::StructureNode& scan, const char* structure, const std::string& prefix,
                                 const std::optional<Range>& field)
{
    if (!scan.isDefined(structure) || !scan.get(structure).is(e57::NodeType::Structure)) return std::nullopt;
    const e57::StructureNode limits(scan.get(structure));
    const std::optional<double> low = NumberIn(limits, prefix + "Minimum");
    const std::optional<double> high = NumberIn(limits, prefix + "Maximum");
    if (!low && !high) return std::nullopt;
    const double fallbackLow = field ? field->first : 0.0;
    if (!high && !field) return std::nullopt;
    return Range {low.value_or(fallbackLow), high ? *high : field->second};
}

}  // namespace

ScanColours::ScanColours(const e57::StructureNode& scan, const e57::StructureNode& prototype)
{
    hasColour_ = prototype.isDefined("colorRed");
    for (int c = 0; c < 3; ++c)
    {
        Scale& scale = channels_[c];
        if (!prototype.isDefined(ColourFields[c]) || !IsNumber(prototype.get(ColourFields[c]))) continue;
        scale.defined = true;
        const std::optional<Range> field = FieldRange(prototype.get(ColourFields[c]));
        std::optional<Range> range = LimitsRange(scan, "colorLimits", ColourLimitNames[c], field);
        if (!IsUsable(range)) range = field;
        if (IsUsable(range))
        {
            scale.low = range->first;
            scale.factor = 255.0 / (range->second - range->first);
        }
    }
    hasIntensity_ = !hasColour_ && prototype.isDefined("intensity") && IsNumber(prototype.get("intensity"));
    if (!hasIntensity_) return;
    const std::optional<Range> field = FieldRange(prototype.get("intensity"));
    std::optional<Range> range = LimitsRange(scan, "intensityLimits", "intensity", field);
    if (!IsUsable(range)) range = field;
    if (!IsUsable(range)) range = Range {0.0, 1.0};
    intensity_.defined = true;
    intensity_.low = range->first;
    intensity_.factor = 255.0 / (range->second - range->first);
}
