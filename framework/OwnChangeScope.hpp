#pragma once
#include "framework/OwnChangeCounter.hpp"

// Raises the own-change counter for its lifetime, so that a body that throws
// does not leave every later user edit looking like the add-on's own.
class OwnChangeScope
{
public:
    explicit OwnChangeScope(const char* label = "") { IncrementOwnChangeCounter(label); }
    OwnChangeScope(const OwnChangeScope&) = delete;
    OwnChangeScope& operator=(const OwnChangeScope&) = delete;
    ~OwnChangeScope() { DecrementOwnChangeCounter(); }
};
