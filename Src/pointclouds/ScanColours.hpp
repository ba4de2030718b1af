#pragma once
#include <algorithm>
#include <cstddef>

#include "API/Attributes.hpp"
#include "e57/StructureNode.hpp"

// How one scan's records give their points' colours, each component from 0 to 255.
// Colours are scaled from the scan's "colorLimits", else from their fields' limits;
// floating colours without limits are taken as they are. Without colours the
// intensity, scaled from "intensityLimits", else its field's limits, else 0 to 1,
// gives a grey. Without either every point is mid grey. Everything is clamped.
class ScanColours
{
public:
    ScanColours(const e57::StructureNode& scan, const e57::StructureNode& prototype);

    bool HasIntensity() const { return hasIntensity_; }
    // Whether the field of that colour channel (0 red, 1 green, 2 blue) is defined.
    bool HasChannel(int channel) const { return channels_[channel].defined; }

    // The components of record i: the arrays hold the values as read (scaled, as
    // doubles); the value of a field that is not read is not used.
    API_RGBColor Of(const double* red, const double* green, const double* blue, const double* intensity, std::size_t i) const
    {
        if (hasColour_) return {channels_[0].Of(red[i]), channels_[1].Of(green[i]), channels_[2].Of(blue[i])};
        const double grey = hasIntensity_ ? intensity_.Of(intensity[i]) : MidGrey;
        return {grey, grey, grey};
    }

private:
    static constexpr double MidGrey = 128.0;

    // value → (value - low) · factor, within 0 to 255; a field that is not there gives 0.
    struct Scale
    {
        bool defined = false;
        double low = 0.0;
        double factor = 1.0;

        // A max and a min, no branch on the value; a NaN gives 0.
        double Of(double value) const { return defined ? std::min(std::max(0.0, (value - low) * factor), 255.0) : 0.0; }
    };

    Scale channels_[3];
    Scale intensity_;
    bool hasColour_ = false;
    bool hasIntensity_ = false;
};
