#include "TI/Time.hpp"

#include <atomic>
#include <chrono>
#include <cmath>

namespace
{

// NaN while the clock runs with the system's.
std::atomic<double> setTime {std::nan("")};

}  // namespace

double TIGetTime()
{
    const double set = setTime.load();
    if (!std::isnan(set)) return set;
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void TISetTime(double seconds) { setTime.store(seconds); }
