#include "HostApiTestSupport.hpp"
#include "UndoableCommand.hpp"

namespace
{

constexpr std::int16_t LockedLayer = 2;

class SimulatedHost : public HostApiTest
{};

TEST_F(SimulatedHost, RefusesToChangeOrDeleteOnALockedLayerAndChangesNothing)
{
    AddLayer(LockedLayer, APILay_Locked);
    const API_Guid guid = CreateObject(1, 2, 1, 1, LockedLayer);
    const std::size_t steps = Model().undoSteps.size();

    API_Element e = Get(guid);
    API_Element mask;
    e.object.position = {9, 9};
    Mark(mask.object.position);
    EXPECT_EQ(Undoable([&] { return InUndoableCommand([&] { return HostChangeElement(&e, &mask, nullptr, 0, true); }); }),
              APIERR_PAGELOCKED);
    API_Elem_Head header = Get(guid).header;
    EXPECT_EQ(Undoable([&] { return InUndoableCommand([&] { return HostDeleteElements(&header, 1); }); }), APIERR_PAGELOCKED);
    API_Neig neig;
    neig.guid = guid;
    API_EditPars drag {};
    drag.typeID = FourCC("DRAG");
    drag.withDelete = true;
    drag.endC = {1, 0, 0};
    EXPECT_EQ(InUndoableCommand([&] { return HostEditElements(&neig, 1, &drag); }), APIERR_PAGELOCKED);

    EXPECT_DOUBLE_EQ(Get(guid).object.position.x, 1);
    EXPECT_EQ(Model().content.elements.size(), 1u);
    EXPECT_EQ(Model().undoSteps.size(), steps);
}

TEST_F(SimulatedHost, AChangeMaskChangesOnlyTheMarkedFields)
{
    const API_Guid guid = CreateObject(1, 2, 1, 1);
    API_Element e = Get(guid);
    API_Element mask;
    e.object.position = {7, 8};
    e.object.angle = 1.0;
    Mark(mask.object.angle);
    ASSERT_EQ(InUndoableCommand([&] { return HostChangeElement(&e, &mask, nullptr, 0, true); }), NoError);
    EXPECT_DOUBLE_EQ(e.object.position.x, 1);  // the host hands back the element as stored
    EXPECT_DOUBLE_EQ(Get(guid).object.angle, 1.0);
}

TEST_F(SimulatedHost, UndoRestoresTheProjectAsBeforeTheCommand)
{
    const API_Guid kept = CreateObject(1, 1, 1, 1);
    ASSERT_EQ(Model().undoSteps.size(), 1u);
    ASSERT_EQ(Undoable([&] {
                  API_Elem_Head header = Get(kept).header;
                  CreateObject(5, 5, 1, 1);
                  return InUndoableCommand([&] { return HostDeleteElements(&header, 1); });
              }),
              NoError);
    ASSERT_EQ(Model().undoSteps.size(), 2u);  // the nested command belongs to the outer step
    ASSERT_EQ(Model().content.elements.size(), 1u);

    ASSERT_TRUE(Model().Undo());
    ASSERT_EQ(Model().content.elements.size(), 1u);
    EXPECT_EQ(Model().content.elements.front().record.header.guid, kept);
    ASSERT_TRUE(Model().Undo());
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_FALSE(Model().Undo());
}

// Elements are found by their GUID through an index beside the list: each GUID
// must lead to its own element after deletions shift the list, after an undo puts
// back a copy of the project and after a failed command is rolled back.
TEST_F(SimulatedHost, FindsEachElementByItsGuidAfterDeletionsUndoAndRollBack)
{
    std::vector<API_Guid> guids;
    for (int x = 1; x <= 5; ++x) guids.push_back(CreateObject(x, 0, 1, 1));
    const auto expectFound = [&](const std::vector<int>& xs, const std::vector<int>& gone) {
        for (const int x : xs)
        {
            const SimHost::StoredElement* found = Model().Find(guids[x - 1]);
            ASSERT_NE(found, nullptr) << "x " << x;
            EXPECT_EQ(found->record.header.guid, guids[x - 1]);
            EXPECT_DOUBLE_EQ(found->record.object.position.x, x);
        }
        for (const int x : gone) EXPECT_EQ(Model().Find(guids[x - 1]), nullptr) << "x " << x;
    };

    API_Elem_Head deleted[2];
    deleted[0].guid = guids[1];
    deleted[1].guid = guids[3];
    ASSERT_EQ(Undoable([&] { return HostDeleteElements(deleted, 2); }), NoError);
    expectFound({1, 3, 5}, {2, 4});
    guids.push_back(CreateObject(6, 0, 1, 1));
    expectFound({1, 3, 5, 6}, {2, 4});

    ASSERT_TRUE(Model().Undo());
    expectFound({1, 3, 5}, {2, 4, 6});
    ASSERT_TRUE(Model().Undo());
    expectFound({1, 2, 3, 4, 5}, {6});

    API_Elem_Head first;
    first.guid = guids[0];
    API_Guid madeInFailure = APINULLGuid;
    ASSERT_EQ(Undoable([&] {
                  HostDeleteElements(&first, 1);
                  madeInFailure = CreateObject(7, 0, 1, 1);
                  return APIERR_GENERAL;
              }),
              APIERR_GENERAL);
    expectFound({1, 2, 3, 4, 5}, {6});
    EXPECT_EQ(Model().Find(madeInFailure), nullptr);
    API_Element removed;
    removed.header.guid = guids[1];
    ASSERT_EQ(Undoable([&] { return HostDeleteElements(&removed.header, 1); }), NoError);
    EXPECT_EQ(HostGetElement(&removed), APIERR_BADID);
    EXPECT_DOUBLE_EQ(Get(guids[4]).object.position.x, 5);
}

TEST_F(SimulatedHost, AFailedCommandIsRolledBackAndACommandWithoutChangesRecordsNoStep)
{
    EXPECT_EQ(Undoable([&] {
                  API_Element e;
                  e.header.typeID = API_ColumnID;
                  HostGetElementDefaults(&e, nullptr);
                  InUndoableCommand([&] { return HostCreateElement(&e, nullptr); });
                  return APIERR_GENERAL;
              }),
              APIERR_GENERAL);
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_EQ(Undoable([] { return NoError; }), NoError);
    EXPECT_TRUE(Model().undoSteps.empty());
}

TEST_F(SimulatedHost, BoxesAndElevationEditsFollowTheStoreys)
{
    Model().content.storeyLevels = {{0, 0.0}, {1, 3.0}};
    API_Element column;
    column.header.typeID = API_ColumnID;
    HostGetElementDefaults(&column, nullptr);
    column.header.floorInd = 1;
    column.column.origin = {2, 2};
    column.column.bottomOffset = 0.5;
    ASSERT_EQ(InUndoableCommand([&] { return HostCreateElement(&column, nullptr); }), NoError);

    API_Box3D box {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("CABO"), &column.header, &box), NoError);
    EXPECT_DOUBLE_EQ(box.zMin, 3.5);
    EXPECT_DOUBLE_EQ(box.zMax, 6.5);
    EXPECT_DOUBLE_EQ(box.xMin, 1.75);
    EXPECT_DOUBLE_EQ(box.yMax, 2.25);

    API_Neig neig;
    neig.guid = column.header.guid;
    API_EditPars elevation {};
    elevation.typeID = FourCC("ELEV");
    elevation.withDelete = true;
    elevation.endC = {0, 0, -3};
    ASSERT_EQ(InUndoableCommand([&] { return HostEditElements(&neig, 1, &elevation); }), NoError);
    EXPECT_DOUBLE_EQ(Get(column.header.guid).column.bottomOffset, -2.5);

    API_StoryInfo storeys;
    ASSERT_EQ(HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr), NoError);
    EXPECT_EQ(storeys.firstStory, 0);
    EXPECT_EQ(storeys.lastStory, 1);
    ASSERT_EQ(storeys.data.size(), 2u);
    EXPECT_DOUBLE_EQ(storeys.data[1].level, 3.0);
}

TEST_F(SimulatedHost, ToolDefaultsPerTypeAndVariation)
{
    API_Element defaults;
    defaults.header.typeID = API_ObjectID;
    defaults.header.variationID = FourCC("SVPH");
    ASSERT_EQ(HostGetElementDefaults(&defaults, nullptr), NoError);
    AddLayer(3, 0);
    defaults.header.layer = 3;
    API_Element mask;
    Mark(mask.header.layer);
    ASSERT_EQ(HostChangeElementDefaults(&defaults, nullptr, &mask), NoError);

    API_Element plain;
    plain.header.typeID = API_ObjectID;
    HostGetElementDefaults(&plain, nullptr);
    EXPECT_EQ(plain.header.layer, 1);
    API_Element photo;
    photo.header.typeID = API_ObjectID;
    photo.header.variationID = FourCC("SVPH");
    HostGetElementDefaults(&photo, nullptr);
    EXPECT_EQ(photo.header.layer, 3);
}

}  // namespace
