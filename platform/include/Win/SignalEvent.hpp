#pragma once
#include "Win/WaitHandle.hpp"

namespace Win
{

// An event that stays signalled once it is set, as CreateEvent with manual reset
// gives: it wakes every wait on it, now and later. Safe to set from any thread.
class SignalEvent : public WaitHandle
{
public:
    SignalEvent();
    void Set();
};

}  // namespace Win
