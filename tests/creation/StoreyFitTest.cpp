#include "API/AddOnInterface.hpp"
#include "CreationFixture.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

// Columns 3 m high from one point, on storeys at 0, 3 and 6 m; the tool's bottom
// offset puts the column's middle height where each case wants it.

class StoreyFitTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        Model().content.storeyLevels = {{0, 0.0}, {1, 3.0}, {2, 6.0}};
        ChooseAnchor(0);
        ChooseOption(18);
    }

    void InFront(std::int32_t window)
    {
        Model().frontWindow = window;
        Model().currentDatabase = {};
        Model().currentDatabase.typeID = window;
    }

    API_ColumnType CreateWithMiddleAt(double middle)
    {
        Model().content.elements.clear();
        ToolDefaults(API_ColumnID).column.bottomOffset = middle - 1.5;
        SetPoints({{1, 1, 0}});
        Main().CreateColumn();
        return OnlyElement(API_ColumnID).column;
    }

    double AbsoluteBottom(const API_ColumnType& column)
    {
        return Model().StoreyLevel(column.head.floorInd) + column.bottomOffset;
    }
};

TEST_F(StoreyFitTest, OutsideTheFloorPlanTheStoreyHoldingTheMiddleIsTaken)
{
    struct Case
    {
        double middle;
        std::int16_t storey;
    };
    const Case cases[] = {{3.10, 1}, {-2.0, 0}, {2.999995, 1}, {2.9999, 0}, {3.0, 1}, {100.0, 2}, {5.0, 1}};
    InFront(APIWind_3DModelID);
    for (const Case& c : cases)
    {
        const API_ColumnType column = CreateWithMiddleAt(c.middle);
        EXPECT_EQ(column.head.floorInd, c.storey) << c.middle;
        EXPECT_NEAR(AbsoluteBottom(column), c.middle - 1.5, 1e-9) << c.middle;
        EXPECT_EQ(Model().currentDatabase.typeID, APIWind_3DModelID) << c.middle;
    }
    const API_ColumnType moved = CreateWithMiddleAt(3.10);
    EXPECT_NEAR(moved.bottomOffset, 1.6 - 3.0, 1e-9);
    EXPECT_EQ(Model().undoSteps.size(), 8u);
}

TEST_F(StoreyFitTest, InTheFloorPlanTheElementStaysAsCreated)
{
    InFront(APIWind_FloorPlanID);
    const API_ColumnType column = CreateWithMiddleAt(7.0);
    EXPECT_EQ(column.head.floorInd, 0);
    EXPECT_NEAR(column.bottomOffset, 5.5, 1e-12);
}

TEST_F(StoreyFitTest, AFloorPlanAlreadyCurrentStaysCurrent)
{
    Model().frontWindow = APIWind_SectionID;
    Model().currentDatabase.typeID = APIWind_FloorPlanID;
    const API_ColumnType column = CreateWithMiddleAt(4.0);
    EXPECT_EQ(column.head.floorInd, 1);
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_FloorPlanID);
}

TEST_F(StoreyFitTest, NoRaiseWithoutTheStoreyChange)
{
    Host().FailService(HostSlot::HostChangeElement);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    InFront(APIWind_3DModelID);
    const API_ColumnType column = CreateWithMiddleAt(4.0);
    EXPECT_EQ(column.head.floorInd, 0);
    EXPECT_NEAR(column.bottomOffset, 2.5, 1e-12);
    EXPECT_TRUE(Main().elementCreated);
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_3DModelID);
}

TEST_F(StoreyFitTest, AStoreyChangeWithoutTheRaiseIsTakenBack)
{
    Host().FailService(HostSlot::HostEditElements);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    InFront(APIWind_3DModelID);
    const API_ColumnType column = CreateWithMiddleAt(4.0);
    EXPECT_EQ(column.head.floorInd, 0);
    EXPECT_NEAR(AbsoluteBottom(column), 2.5, 1e-12);
}
