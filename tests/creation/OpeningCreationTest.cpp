// Windows and doors made from measured points in the simulated host's walls: the
// record and parameters the host keeps, the alerts, the running action, the
// database, the value list of the reveal type and what a refusal leaves.
#include <cstring>
#include <string>
#include <vector>

#include "CreationFixture.hpp"
#include "DG/DG.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr std::int16_t Palette = Survanto::MainPaletteDialogId;

API_AddParType Number(const char* name, double value)
{
    API_AddParType p;
    std::strncpy(p.name, name, sizeof p.name - 1);
    p.value = value;
    return p;
}

API_AddParType Text(const char* name)
{
    API_AddParType p = Number(name, 0.0);
    p.typeID = APIParT_String;
    return p;
}

const char* const PartId = "{11111111-2222-3333-4444-555555555555}-{66666666-7777-8888-9999-AAAAAAAAAAAA}";

}  // namespace

class OpeningCreationTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        measuringState = MeasuringState {};
        Model().content.storeyLevels[1] = 3.0;
        SimHost::LibraryPartEntry part {PartId, 30};
        part.params = {Number("A", 1.0),
                       Number("B", 1.5),
                       Number("gs_frame_thk", 0.05),
                       Number("gs_reveal_type_int", 1),
                       Text("gs_reveal_type_new"),
                       Number("gs_wido_sill", 0.0),
                       Number("gs_sill_outside", 1.0)};
        part.valueLists["gs_reveal_type_new"] = {GS::UniString("Keine"),    GS::UniString("Gerade"), GS::UniString("Falz"),
                                                 GS::UniString("Anschlag"), GS::UniString("Nische"), GS::UniString("Schräg")};
        Model().libraryParts[1] = part;
        for (const API_ElemTypeID type : {API_WindowID, API_DoorID})
        {
            ToolDefaults(type).window.libraryPartIndex = 1;
            Model().DefaultsFor(type, 0).memo.params = part.params;
        }
        ChooseOption(14);
        SetItem(34, 0.1);
        measuringState.stationX = 0.6;
        measuringState.stationY = -5.0;
    }

    // A wall from (-1, 0) to (4, 0), 0.3 thick, 3 m high on storey 0.
    API_Guid AddWall(std::int32_t referenceLine = 0, std::vector<API_Coord> outline = {})
    {
        API_Element wall;
        wall.header.typeID = API_WallID;
        HostGetElementDefaults(&wall, nullptr);
        wall.wall.begC = {-1.0, 0.0};
        wall.wall.endC = {4.0, 0.0};
        wall.wall.referenceLineCode = referenceLine;
        API_ElementMemo memo;
        if (!outline.empty())
        {
            wall.wall.geometryKind = 2;
            memo.coords.push_back({});
            memo.coords.insert(memo.coords.end(), outline.begin(), outline.end());
            memo.coords.push_back(outline.front());
            memo.pends = {0, static_cast<std::int32_t>(outline.size() + 1)};
            wall.wall.poly = {static_cast<std::int32_t>(outline.size() + 1), 1, 0};
        }
        EXPECT_EQ(HostCallUndoableCommand(GS::UniString(), [&] { return HostCreateElement(&wall, &memo); }), NoError);
        return wall.header.guid;
    }

    void ChooseEntry(std::int16_t item, std::int16_t entry)
    {
        Main().MainPaletteItemValue(item);
        DG::PopupSelectItem(Palette, item, entry);
    }

    static std::vector<std::string> Alerts()
    {
        std::vector<std::string> texts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts())
            texts.push_back(alert.title.ToUtf8() + ": " + alert.text1.ToUtf8());
        return texts;
    }

    const SimHost::StoredElement* Stored(API_ElemTypeID type)
    {
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == type) return &e;
        return nullptr;
    }

    static const API_AddParType& Param(const SimHost::StoredElement& e, const char* name)
    {
        for (const API_AddParType& p : e.memo.params)
            if (std::strcmp(p.name, name) == 0) return p;
        static const API_AddParType none;
        ADD_FAILURE() << "no parameter " << name;
        return none;
    }
};

// Diagonal points from inside, the station south of the wall; the section in
// front while the creator works in the floor plan.
TEST_F(OpeningCreationTest, AWindowIsMadeInItsWallWithEveryField)
{
    const API_Guid wall = AddWall();
    Model().currentDatabase.typeID = APIWind_SectionID;
    const std::size_t steps = Model().undoSteps.size();
    SetPoints({{0.0, 0.0, 1.0}, {1.2, 0.0, 2.3}});
    Main().CreateWindowFromPoints();

    const SimHost::StoredElement* made = Stored(API_WindowID);
    ASSERT_NE(made, nullptr);
    const API_WindowType& w = made->record.window;
    EXPECT_EQ(w.owner, wall);
    EXPECT_EQ(made->record.header.floorInd, 0);
    EXPECT_NEAR(w.width, 1.2, 1e-12);
    EXPECT_NEAR(w.height, 1.3, 1e-12);
    EXPECT_NEAR(w.sillHeight, 1.0, 1e-12);
    EXPECT_NEAR(w.position, 1.6, 1e-12);
    EXPECT_NEAR(w.revealDepth, 0.15, 1e-12) << "thickness less the measured reveal and the frame";
    EXPECT_EQ(w.libraryPartIndex, 1);
    EXPECT_EQ(w.placementSetting, 1);
    EXPECT_EQ(w.placementGuid, APINULLGuid);
    EXPECT_TRUE(w.placementFlag);
    EXPECT_FALSE(w.mirrored);
    EXPECT_TRUE(w.openingSide);
    EXPECT_TRUE(w.referenceSide);
    EXPECT_NEAR(Param(*made, "A").value, 1.2, 1e-12);
    EXPECT_NEAR(Param(*made, "B").value, 1.3, 1e-12);
    EXPECT_EQ(Param(*made, "gs_frame_thk").value, 0.05);
    EXPECT_EQ(Param(*made, "gs_reveal_type_int").value, 1.0);
    EXPECT_EQ(Param(*made, "gs_reveal_type_new").text.ToUtf8(), "Gerade");
    EXPECT_NEAR(Param(*made, "gs_wido_sill").value, 0.15, 1e-12);
    EXPECT_EQ(Param(*made, "gs_sill_outside").value, 0.0);
    EXPECT_EQ(made->parameterScriptRuns, 1);

    EXPECT_TRUE(Main().elementCreated);
    EXPECT_EQ(Main().pointStep, 0);
    EXPECT_EQ(Model().undoSteps.size(), steps + 1);
    EXPECT_EQ(Model().currentDatabase.typeID, APIWind_SectionID) << "the section is current again";
    EXPECT_EQ(Model().openParameterList, 0) << "the parameter list is closed";
    EXPECT_TRUE(DG::RecordedAlerts().empty());
}

TEST_F(OpeningCreationTest, WhatPlacesNoOpeningEndsTheAction)
{
    const std::string notFound =
        "Survanto - Fehler!: Achtung! Es kann keine Öffnung platziert werden. Die betroffene Wand wurde nicht gefunden!";
    const std::string notOnFace =
        "Survanto - Fehler!: Achtung! Es kann keine Öffnung platziert werden, weil die Referenzlinie der "
        "betroffenen Wand nicht an einer der Seitenkanten liegt.";
    struct Case
    {
        const char* name;
        API_ElemTypeID tool;
        std::int32_t referenceLine;  // -1: no wall
        API_Coord3D p0, p1;
        std::vector<std::string> alerts;
    };
    const Case cases[] = {
        {"a window where no wall is", API_WindowID, -1, {0, 0, 1}, {1.2, 0, 2.3}, {notFound}},
        {"a window 53 m from the only wall", API_WindowID, 0, {0, -53, 1}, {1.2, -53, 2.3}, {notFound}},
        {"a door where no wall is: no message", API_DoorID, -1, {0, 0, 0}, {1, 0, 2.1}, {}},
        {"a window in a wall with its reference line in its middle", API_WindowID, 1, {0, 0, 1}, {1.2, 0, 2.3}, {notOnFace}},
        {"a door there", API_DoorID, 1, {0, 0, 0}, {1, 0, 2.1}, {notOnFace}},
        {"a polygonal wall without face points at the points", API_WindowID, 10, {0, 0.15, 1}, {0, 0.15, 2.3}, {}},
    };
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        DG::ClearRecordedAlerts();
        if (c.referenceLine == 10)
            AddWall(0, {{-1, 0}, {4, 0}, {4, 0.3}, {-1, 0.3}});
        else if (c.referenceLine >= 0)
            AddWall(c.referenceLine);
        Main().currentTool = c.tool;
        SetPoints({c.p0, c.p1, {0.5, -1, 0}});
        Main().elementCreated = false;
        c.tool == API_WindowID ? Main().CreateWindowFromPoints() : Main().CreateDoorFromPoints();
        EXPECT_EQ(Stored(c.tool), nullptr) << c.name;
        EXPECT_EQ(Main().pointStep, 0) << c.name << ": the next points start a new opening";
        EXPECT_FALSE(Main().elementCreated) << c.name;
        EXPECT_EQ(Alerts(), c.alerts) << c.name;
    }

    // Then three points that make a door.
    Model().content.elements.clear();
    AddWall();
    SetPoints({{0, 0, 0}, {1, 0, 2.1}, {0.4, -1, 0}});
    Main().CreateDoorFromPoints();
    const SimHost::StoredElement* door = Stored(API_DoorID);
    ASSERT_NE(door, nullptr);
    EXPECT_NEAR(door->record.window.width, 1.0, 1e-12);
    EXPECT_EQ(Param(*door, "gs_reveal_type_int").value, 2.0) << "reveal type 1 becomes 2";
    EXPECT_TRUE(door->record.window.placementFlag);
    EXPECT_EQ(Main().pointStep, 0);
}

// The host refuses a window on a layer it does not have: nothing counts as made.
TEST_F(OpeningCreationTest, ARefusedOpeningIsNotCountedAsMade)
{
    AddWall();
    ToolDefaults(API_WindowID).header.layer = 7;
    SetPoints({{0.0, 0.0, 1.0}, {1.2, 0.0, 2.3}});
    Main().elementCreated = false;
    Main().CreateWindowFromPoints();
    EXPECT_EQ(Stored(API_WindowID), nullptr);
    EXPECT_FALSE(Main().elementCreated);
    EXPECT_EQ(Main().pointStep, 0);
}

// Entries 1 and 5 are read only where the list holds them, and no more of a text
// than the parameter keeps.
TEST_F(OpeningCreationTest, TheRevealTypeTextComesOnlyFromEntriesTheListHolds)
{
    AddWall();
    struct Case
    {
        const char* name;
        std::vector<GS::UniString> list;
        std::int16_t revealKind;
        std::string text;
    };
    const std::string longText(300, 'x');
    const Case cases[] = {
        {"a short list has no sixth entry", {GS::UniString("Keine"), GS::UniString("Gerade")}, 2, ""},
        {"an empty list", {}, 1, ""},
        {"a long entry is cut to the parameter", {GS::UniString("Keine"), GS::UniString(longText)}, 1, std::string(255, 'x')},
        {"the sixth entry for a splayed reveal", {"0", "1", "2", "3", "4", GS::UniString("Schräg")}, 2, "Schräg"},
        {"none for a reveal measured left and right", {"0", "1", "2", "3", "4", "5"}, 3, ""},
    };
    for (const Case& c : cases)
    {
        Model().libraryParts[1].valueLists["gs_reveal_type_new"] = c.list;
        ChooseEntry(33, c.revealKind);
        SetPoints({{0.0, 0.0, 1.0}, {1.2, 0.0, 2.3}});
        Main().CreateWindowFromPoints();
        const SimHost::StoredElement& made = Model().content.elements.back();
        ASSERT_EQ(made.record.header.typeID, API_WindowID) << c.name;
        EXPECT_EQ(Param(made, "gs_reveal_type_new").text.ToUtf8(), c.text) << c.name;
        EXPECT_EQ(Model().openParameterList, 0) << c.name;
    }
}

// From outside on the wall's outer face the window starts there; the host boxes it across the wall.
TEST_F(OpeningCreationTest, AWindowInAPolygonalWallStartsOnItsOuterFace)
{
    AddWall(0, {{4, 0.3}, {-1, 0.3}, {-1, 0}, {4, 0}});
    ChooseEntry(21, 2);
    SetPoints({{0.0, 0.12, 1.0}, {1.2, 0.12, 2.3}});
    Main().CreateWindowFromPoints();
    const SimHost::StoredElement* made = Stored(API_WindowID);
    ASSERT_NE(made, nullptr);
    EXPECT_NEAR(made->record.window.startPoint.x, 3.4, 1e-12);
    EXPECT_NEAR(made->record.window.startPoint.y, 0.3, 1e-12);
    EXPECT_NEAR(made->record.window.direction.x, 0.0, 1e-12);
    EXPECT_NEAR(made->record.window.direction.y, -1.0, 1e-12);
    EXPECT_NEAR(made->record.window.revealDepth, 0.12, 1e-12);
    API_Box3D box {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("CABO"), const_cast<API_Elem_Head*>(&made->record.header), &box), NoError);
    EXPECT_NEAR(box.xMin, 0.0, 1e-9);
    EXPECT_NEAR(box.xMax, 1.2, 1e-9);
    EXPECT_NEAR(box.yMin, 0.0, 1e-9);
    EXPECT_NEAR(box.yMax, 0.3, 1e-9);
    EXPECT_NEAR(box.zMin, 1.0, 1e-9);
}
