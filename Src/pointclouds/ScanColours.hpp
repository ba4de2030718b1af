#pragma once
#include <algorithm>

#include "API/Attributes.hpp"
#include "e57/StructureNode.hpp"

// How one scan's records give their points' colours, each component from 0 to 255.
// Colours are scaled from the scan's "colorLimits", else from their fields' limits;
// floating colours without limits are taken as they are. Without colours the
// intensity, scaled from "intensityLimits", else its field's limits, else 0 to 1,
// gives a grey. Without either every point is mid grey. Everything is clamped.
class ScanColours {
public:
    ScanColours(const e57::StructureNode& scan, const e57::StructureNode& prototype);

    bool HasIntensity() const { return hasIntensity_; }
    // Whether the field of that colour channel (0 red, 1 green, 2 blue) is defined.
    bool HasChannel(int channel) const { return channels_[channel].defined; }

    // From the values as read (scaled, as doubles); missing fields read as 0.
    API_RGBColor Colour(double red, double green, double blue, double intensity) const
    {
        if (hasColour_) return {channels_[0].Byte(red), channels_[1].Byte(green), channels_[2].Byte(blue)};
        const double grey = hasIntensity_ ? intensity_.Byte(intensity) : MidGrey;
        return {grey, grey, grey};
    }

private:
    static constexpr double MidGrey = 128.0;

    // value → (value - low) · factor, within 0 to 255; a field that is not there gives 0.
    struct Scale {
        bool defined = false;
        double low = 0.0;
        double factor = 1.0;

        double Byte(double value) const
        {
            if (!defined) return 0.0;
            // A max and a min, no branch; a NaN gives 0.
            return std::min(std::max(0.0, (value - low) * factor), 255.0);
        }
    };

    Scale channels_[3];
    Scale intensity_;
    bool hasColour_ = false;
    bool hasIntensity_ = false;
};
