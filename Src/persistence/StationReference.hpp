#pragma once

// A station's reference element and origin.
class StationReference {
public:
    StationReference() = default;
};
