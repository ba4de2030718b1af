#include "frame/PendingCallTrace.hpp"

#include <utility>

namespace {
// The add-on runs for hours: the trace keeps only the latest calls.
constexpr std::size_t KeptCalls = 1000;
}  // namespace

std::vector<PendingCall>& PendingCallTrace()
{
    static std::vector<PendingCall> trace;
    return trace;
}

void RecordPendingCall(std::string name, const TypVektor<API_Coord3D>& points, std::int16_t step, std::int32_t argument,
                       const void* target)
{
    PendingCall call {std::move(name), {}, step, argument, target};
    for (std::uint32_t i = 0; i < points.GetSize(); ++i) call.points.push_back(points[i]);
    auto& trace = PendingCallTrace();
    if (trace.size() >= KeptCalls) trace.erase(trace.begin());
    trace.push_back(std::move(call));
}
