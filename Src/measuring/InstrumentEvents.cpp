#include "measuring/InstrumentEvents.hpp"

#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"

// A point from the exchange file has no action of its own: the measured-point
// dispatcher takes it from the measuring state.
void OnInstrumentEvent(std::uint64_t code, std::uint64_t /*argument*/)
{
    if (Survanto* survanto = theSurvanto.load()) survanto->OnMeasuredPoint(static_cast<std::int32_t>(code));
}
