#pragma once
#include "API/Database.hpp"

// Makes the floor plan the current database while it lives, when it was not, and
// brings the database that was current back on every way out.
class FloorPlanDatabaseScope
{
public:
    FloorPlanDatabaseScope();
    FloorPlanDatabaseScope(const FloorPlanDatabaseScope&) = delete;
    FloorPlanDatabaseScope& operator=(const FloorPlanDatabaseScope&) = delete;
    ~FloorPlanDatabaseScope();

private:
    API_DatabaseInfo kept_ {};
    bool switched_ = false;
};
