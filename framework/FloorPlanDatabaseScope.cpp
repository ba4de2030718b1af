#include "framework/FloorPlanDatabaseScope.hpp"

#include "API/AddOnInterface.hpp"

FloorPlanDatabaseScope::FloorPlanDatabaseScope()
{
    if (HostDatabaseRequest(FourCC("GDAT"), &kept_, nullptr) != NoError || kept_.typeID == APIWind_FloorPlanID) return;
    API_DatabaseInfo floorPlan {};
    floorPlan.typeID = APIWind_FloorPlanID;
    switched_ = HostDatabaseRequest(FourCC("CDAT"), &floorPlan, nullptr) == NoError;
}

FloorPlanDatabaseScope::~FloorPlanDatabaseScope()
{
    if (switched_) HostDatabaseRequest(FourCC("CDAT"), &kept_, nullptr);
}
