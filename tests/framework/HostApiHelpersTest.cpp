#include <cmath>

#include "ElementServices.hpp"
#include "HostApiTestSupport.hpp"
#include "UndoableCommand.hpp"
#include "framework/HostApiHelpers.hpp"

namespace
{

constexpr std::int16_t LockedLayer = 2;

class HostApiHelpers : public HostApiTest
{
protected:
    // Moves an object to (x, y) with a mask that marks only its position.
    bool ForceMove(const API_Guid& guid, double x, double y)
    {
        API_Element e = Get(guid);
        API_Element mask;
        e.object.position = {x, y};
        Mark(mask.object.position);
        bool changed = false;
        Undoable([&] {
            changed = ForceChangeElement(&e, &mask, nullptr);
            return NoError;
        });
        return changed;
    }

    std::int32_t LayerFlags(std::int16_t index) { return Model().content.layers.at(index).flags; }
};

TEST_F(HostApiHelpers, ForceChangeElementUnlocksLayerAndElementForOneRetryAndLocksThemAgain)
{
    AddLayer(LockedLayer, APILay_Locked | APILay_Hidden);
    const API_Guid guid = CreateObject(1, 1, 1, 1, LockedLayer);
    API_Elem_Head header = Get(guid).header;
    ASSERT_EQ(Undoable([&] { return HostApplyElementTool(&header, 1, APITool_Lock); }), NoError);

    EXPECT_TRUE(ForceMove(guid, 5, 6));

    const API_Element after = Get(guid);
    EXPECT_DOUBLE_EQ(after.object.position.x, 5);
    EXPECT_DOUBLE_EQ(after.object.position.y, 6);
    EXPECT_GT(after.header.lockId, 0);
    EXPECT_EQ(LayerFlags(LockedLayer), APILay_Locked | APILay_Hidden);
}

TEST_F(HostApiHelpers, ForceChangeElementDoesNotRetryWhenNothingCanBeUnlocked)
{
    const API_Guid guid = CreateObject(1, 1, 1, 1);
    API_Element e = Get(guid);
    API_Element mask;
    e.header.floorInd = 7;  // no such storey: the host refuses
    Mark(mask.header.floorInd);
    const std::size_t steps = Model().undoSteps.size();

    EXPECT_FALSE(ForceChangeElement(&e, &mask, nullptr));
    EXPECT_EQ(Get(guid).header.floorInd, 0);
    EXPECT_EQ(LayerFlags(1), 0);
    EXPECT_EQ(Model().undoSteps.size(), steps);
}

TEST_F(HostApiHelpers, ForceChangeElementMemoWritesParametersThroughALockedLayer)
{
    AddLayer(LockedLayer, APILay_Locked);
    const API_Guid guid = CreateObject(1, 1, 1, 1, LockedLayer);
    API_ElementMemo memo;
    ASSERT_EQ(HostGetElementMemo(&guid, &memo, APIMemoMask_AddPars), NoError);
    memo.params[FindMemoParamIndex("bIsActual", memo)].value = 1.0;
    ASSERT_EQ(InUndoableCommand([&] { return HostChangeElementMemo(&guid, APIMemoMask_AddPars, &memo); }), APIERR_PAGELOCKED);

    EXPECT_TRUE(InUndoableCommand([&] { return ForceChangeElementMemo(guid, &memo, 0); }));

    API_ElementMemo stored;
    HostGetElementMemo(&guid, &stored, APIMemoMask_AddPars);
    EXPECT_DOUBLE_EQ(stored.params[FindMemoParamIndex("bisactual", stored)].value, 1.0);
    EXPECT_EQ(LayerFlags(LockedLayer), APILay_Locked);
}

TEST_F(HostApiHelpers, ForceDeleteElementDeletesLockedElementsAndRelocksTheLayer)
{
    AddLayer(LockedLayer, APILay_Locked);
    const API_Guid guid = CreateObject(1, 1, 1, 1, LockedLayer);
    API_Elem_Head header = Get(guid).header;
    ASSERT_EQ(HostApplyElementTool(&header, 1, APITool_Lock), NoError);
    header = Get(guid).header;

    EXPECT_TRUE(InUndoableCommand([&] { return ForceDeleteElement(header); }));
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_EQ(LayerFlags(LockedLayer), APILay_Locked);
    EXPECT_FALSE(InUndoableCommand([&] { return ForceDeleteElement(header); }));  // gone: no retry for another error
}

struct UserEdit
{
    const char* name;
    API_ActTranPars transformation;
};

class RevertEdit : public HostApiHelpers, public ::testing::WithParamInterface<UserEdit>
{};

TEST_P(RevertEdit, PutsTheObjectBackWhereItWas)
{
    const API_Guid guid = CreateObject(2, 3, 1, 0.5);
    const API_Element before = Get(guid);
    ASSERT_EQ(SimHost::UserEditElement(host.host(), guid, GetParam().transformation), NoError);
    ASSERT_GT(std::hypot(Get(guid).object.position.x - 2, Get(guid).object.position.y - 3) +
                  std::fabs(Get(guid).object.elevation),
              1e-3);

    API_NotifyElementType notification;
    notification.notifID = APINotifyElement_Edit;
    notification.guid = guid;
    notification.typeID = API_ObjectID;
    EXPECT_EQ(InUndoableCommand([&] { return RevertElementChange(notification, nullptr); }), guid);

    const API_Element after = Get(guid);
    EXPECT_NEAR(after.object.position.x, before.object.position.x, 1e-9);
    EXPECT_NEAR(after.object.position.y, before.object.position.y, 1e-9);
    EXPECT_NEAR(after.object.elevation, before.object.elevation, 1e-9);
    EXPECT_NEAR(std::remainder(after.object.angle - before.object.angle, 2 * M_PI), 0.0, 1e-9);
    EXPECT_EQ(after.object.mirrored, before.object.mirrored);
}

API_ActTranPars Drag()
{
    API_ActTranPars t {};
    t.typeID = FourCC("DRAG");
    t.displacement = {4, -1};
    t.displacementZ = 0.5;
    return t;
}

API_ActTranPars Rotation()
{
    API_ActTranPars t {};
    t.typeID = FourCC("ROTZ");
    t.origin = {10, 0};
    t.cosAngle = std::cos(0.7);
    t.sinAngle = std::sin(0.7);
    return t;
}

API_ActTranPars Mirror()
{
    API_ActTranPars t {};
    t.typeID = FourCC("MIRR");
    t.origin = {0, 10};
    t.axisVector = {1, 1};
    return t;
}

INSTANTIATE_TEST_SUITE_P(Kinds, RevertEdit,
                         ::testing::Values(UserEdit {"drag", Drag()}, UserEdit {"rotation", Rotation()},
                                           UserEdit {"mirror", Mirror()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostApiHelpers, RevertOfADeletionCreatesTheElementAgainWithItsUserData)
{
    const API_Guid guid = CreateObject(2, 3, 1, 1);
    API_Elem_Head header = Get(guid).header;
    API_ElementUserData data;
    data.data = {1, 2, 3};
    ASSERT_EQ(HostSetElementUserData(&header, &data), NoError);
    ASSERT_EQ(SimHost::UserDeleteElement(host.host(), guid), NoError);

    API_NotifyElementType notification;
    notification.notifID = APINotifyElement_Delete;
    notification.guid = guid;
    notification.typeID = API_ObjectID;
    const API_Guid revived = InUndoableCommand([&] { return RevertElementChange(notification, nullptr); });

    ASSERT_NE(revived, guid);
    ASSERT_EQ(Model().content.elements.size(), 1u);
    const SimHost::StoredElement& element = Model().content.elements.front();
    EXPECT_EQ(element.record.header.guid, revived);
    EXPECT_DOUBLE_EQ(element.record.object.position.x, 2);
    EXPECT_EQ(element.userData.data, data.data);
    EXPECT_TRUE(element.observed);
}

TEST_F(HostApiHelpers, SelectAndZoomObjectsFramesTheObjectsWithAMargin)
{
    TypVektor<API_Guid> guids;
    guids.Add(CreateObject(0, 0, 10, 20));

    SelectAndZoomObjects(guids, true);

    ASSERT_TRUE(Model().zoom.has_value());
    EXPECT_DOUBLE_EQ(Model().zoom->xMin, -0.5);
    EXPECT_DOUBLE_EQ(Model().zoom->yMin, -1.0);
    EXPECT_DOUBLE_EQ(Model().zoom->xMax, 10.5);
    EXPECT_DOUBLE_EQ(Model().zoom->yMax, 21.0);
    EXPECT_EQ(Model().selection.size(), 1u);
}

TEST_F(HostApiHelpers, SelectAndZoomObjectsLeavesOutObjectsWithoutBounds)
{
    TypVektor<API_Guid> guids;
    guids.Add(APIGuidFromString("{11111111-2222-3333-4444-555555555555}"));
    guids.Add(CreateObject(100, 100, 10, 20));

    SelectAndZoomObjects(guids, true);

    ASSERT_TRUE(Model().zoom.has_value());
    EXPECT_DOUBLE_EQ(Model().zoom->xMin, 99.5);
    EXPECT_DOUBLE_EQ(Model().zoom->yMin, 99.0);
    EXPECT_EQ(Model().selection.size(), 1u);
}

TEST_F(HostApiHelpers, SelectAndZoomObjectsWithoutAnyBoundsDoesNotZoom)
{
    TypVektor<API_Guid> guids;
    guids.Add(APIGuidFromString("{11111111-2222-3333-4444-555555555555}"));
    SelectAndZoomObjects(guids, true);
    EXPECT_FALSE(Model().zoom.has_value());
}

TEST_F(HostApiHelpers, StoryLevelsInsideAndOutsideTheStoreys)
{
    Model().content.storeyLevels = {{-1, -2.5}, {0, 0.0}, {1, 3.0}};
    EXPECT_DOUBLE_EQ(GetStoryLevel(-1), -2.5);
    EXPECT_DOUBLE_EQ(GetStoryLevel(1), 3.0);
    EXPECT_DOUBLE_EQ(GetStoryLevel(2), 0.0);
    EXPECT_DOUBLE_EQ(GetStoryLevel(-2), 0.0);
}

TEST_F(HostApiHelpers, SelectionIdsOfElementTypes)
{
    EXPECT_EQ(ElemTypeToNeig(6), 13);
    EXPECT_EQ(ElemTypeToNeig(27), 54);
    for (const API_ElemTypeID none : {0, 20, 28, -1, 1000}) EXPECT_EQ(ElemTypeToNeig(none), 0) << none;
    EXPECT_EQ(NeigToElemType(13), 6);
    EXPECT_EQ(NeigToElemType(999), 0);
}

TEST(ParameterLookup, IgnoresLetterCaseAndReportsAbsence)
{
    API_ElementMemo memo;
    EXPECT_EQ(FindMemoParamIndex("bIsActual", memo), -1);
    memo.params.resize(3);
    std::strcpy(memo.params[0].name, "zzyzx");
    std::strcpy(memo.params[1].name, "bIsActual");
    std::strcpy(memo.params[2].name, "BISACTUAL");
    EXPECT_EQ(FindMemoParamIndex("bisactual", memo), 1);
    EXPECT_EQ(FindMemoParamIndex("bIsActua", memo), -1);
    EXPECT_EQ(FindParamIndex("zzyzx", nullptr), -1);
}

TEST(ParameterLookup, ANameFillingItsWholeFieldIsComparedWithinTheField)
{
    API_ElementMemo memo;
    memo.params.resize(1);
    std::memset(memo.params[0].name, 'a', sizeof memo.params[0].name);  // no terminator
    EXPECT_EQ(FindMemoParamIndex(std::string(32, 'A').c_str(), memo), 0);
    EXPECT_EQ(FindMemoParamIndex(std::string(33, 'a').c_str(), memo), -1);
}

TEST(ParseDouble, ReadsNumbersFromFilteredText)
{
    struct Case
    {
        const char* text;
        int result;
        double value;
    };
    const Case cases[] = {{"12,5 m", 1, 12.5}, {"1.234,5", 1, 1.234}, {"abc", 0, 99.0}, {"-.5", 1, -0.5},
                          {"", 0, 99.0},       {"x3y", 1, 3.0},       {"+7", 1, 7.0}};
    for (const Case& c : cases)
    {
        double value = 99.0;
        EXPECT_EQ(ParseDouble(c.text, &value), c.result) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST(ParseDouble, KeepsAtMost49Characters)
{
    const std::string text = std::string(49, '1') + "99";
    double value = 0.0;
    ASSERT_EQ(ParseDouble(text.c_str(), &value), 1);
    EXPECT_DOUBLE_EQ(value, std::stod(std::string(49, '1')));
}

TEST(SplitAtWhiteSpace, AppendsWords)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"  a  b ", {"a", "b"}}, {"x", {"x"}}, {"", {}}, {"   ", {}}, {"eins\tzwei\r\ndrei", {"eins", "zwei", "drei"}}};
    for (const Case& c : cases)
    {
        TypVektor<GS::UniString> words;
        words.Add(GS::UniString("vorher"));
        SplitAtWhiteSpace(GS::UniString(c.text), words);
        ASSERT_EQ(words.GetSize(), c.words.size() + 1) << c.text;
        for (std::size_t i = 0; i < c.words.size(); ++i) EXPECT_EQ(words[i + 1].ToUtf8(), c.words[i]) << c.text;
    }
}

}  // namespace
