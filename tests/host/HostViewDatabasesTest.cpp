// What the simulated host gives the orthophoto placement: view databases of five
// kinds, sections and elevations made with their marker, windows, pictures with
// their data, layers by name, point input, progress, storeys and the toolbox.
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "GX/ImageBase.hpp"
#include "HostApiTestSupport.hpp"
#include "PictureElements.hpp"
#include "ProjectFile.hpp"

namespace
{

constexpr double Pi = 3.14159265358979323846;

using Bytes = std::vector<std::uint8_t>;

// A BMP file of width x 1 pixels, one colour (blue, green, red) per pixel.
Bytes BmpRow(const std::vector<std::array<std::uint8_t, 3>>& pixels)
{
    GSPixMapHandle pixMap = GXCreateGSPixMap(static_cast<std::int32_t>(pixels.size()), 1, 72, 72);
    for (std::size_t i = 0; i < pixels.size(); ++i)
    {
        std::uint8_t* p = GXGetGSPixMapBaseAddr(pixMap) + 4 * i;
        p[0] = pixels[i][0], p[1] = pixels[i][1], p[2] = pixels[i][2], p[3] = 255;
    }
    Bytes data;
    GX::ImageBase::ConvertFromPixMap(pixMap, FTM::FileTypeManager::Bmp, data);
    GXDeleteGSPixMap(pixMap);
    return data;
}

class HostViewDatabases : public HostApiTest
{
protected:
    GSErrCode MakeCutPlane(API_ElemTypeID type, const char* name, std::uint32_t subType, API_Guid* made = nullptr,
                           double lower = 0, double upper = 3)
    {
        API_Element element;
        element.header.typeID = type;
        API_SubElement marker;
        marker.subType = subType;
        EXPECT_EQ(HostGetElementDefaultsWithSubElements(&element, nullptr, 1, &marker), NoError);
        std::snprintf(element.cutPlane.name, sizeof element.cutPlane.name, "%s", name);
        element.cutPlane.lowerLimit = lower;
        element.cutPlane.upperLimit = upper;
        API_ElementMemo memo;
        memo.sectionMainCoords = {{0, 0}, {4, 0}};
        memo.sectionDistCoords = {{0, 1}, {4, 1}};
        memo.sectionDepthCoords = {{0, 1}, {4, 1}};
        marker.subType = subType;
        const GSErrCode result = Undoable([&] { return HostCreateElementWithSubElements(&element, &memo, 1, &marker); });
        if (made != nullptr) *made = element.header.guid;
        return result;
    }

    std::vector<API_Guid> List(const char (&code)[5])
    {
        std::vector<API_Guid> list;
        EXPECT_EQ(HostDatabaseRequest(FourCC(code), &list, nullptr), NoError);
        return list;
    }

    GSErrCode Info(std::int32_t type, const API_Guid& unId, API_DatabaseInfo& info)
    {
        info = API_DatabaseInfo {};
        info.typeID = type;
        info.databaseUnId = unId;
        return HostDatabaseRequest(FourCC("GDBI"), &info, nullptr);
    }

    GSErrCode Current(std::int32_t type, const API_Guid& unId)
    {
        API_DatabaseInfo database {};
        database.typeID = type;
        database.databaseUnId = unId;
        return HostDatabaseRequest(FourCC("CDAT"), &database, nullptr);
    }

    GSErrCode Picture(const API_Box& box, double angle, const Bytes& data, API_Guid* made = nullptr)
    {
        API_Element element;
        element.header.typeID = API_PictureID;
        EXPECT_EQ(HostGetElementDefaults(&element, nullptr), NoError);
        element.picture.destBox = box;
        element.picture.origBox = box;
        element.picture.rotAngle = angle;
        API_ElementMemo memo;
        memo.pictureData = data;
        const GSErrCode result = Undoable([&] { return HostCreateElement(&element, &memo); });
        if (made != nullptr) *made = element.header.guid;
        return result;
    }
};

TEST_F(HostViewDatabases, SectionsAndElevationsMakeTheirViewsAndTakeThemAlong)
{
    API_Guid section {}, elevation {};
    ASSERT_EQ(MakeCutPlane(API_CutPlaneID, "Schnitt A", APISubElement_MainMarker, &section), NoError);
    ASSERT_EQ(MakeCutPlane(API_ElevationID, "Ansicht Nord", APISubElement_MainMarker, &elevation), NoError);
    const std::vector<API_Guid> sections = List("GSDI");
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(List("GEDI").size(), 1u);
    EXPECT_TRUE(List("GIED").empty() && List("GLDI").empty() && List("GWDI").empty());

    API_DatabaseInfo info;
    ASSERT_EQ(Info(APIWind_SectionID, sections[0], info), NoError);
    EXPECT_EQ(info.name.ToUtf8(), "Schnitt A");
    EXPECT_EQ(info.ref.ToUtf8(), "S-01");
    EXPECT_EQ(info.elementGuid, section);
    EXPECT_EQ(Info(APIWind_ElevationID, sections[0], info), APIERR_BADID) << "a section's view is no elevation's";

    ASSERT_EQ(Current(APIWind_SectionID, sections[0]), NoError);
    API_Guid picture {};
    ASSERT_EQ(Picture({0, 0, 1, 1}, 0, BmpRow({{0, 0, 255}}), &picture), NoError);
    API_DatabaseInfo containing {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("GCDB"), &picture, &containing), NoError);
    EXPECT_EQ(containing.typeID, APIWind_SectionID);
    EXPECT_EQ(containing.databaseUnId, sections[0]);
    EXPECT_EQ(host->Fact("pictures"), "section of element 1: 1");

    ASSERT_EQ(Current(APIWind_FloorPlanID, APINULLGuid), NoError);
    API_Elem_Head head {};
    head.guid = section;
    ASSERT_EQ(Undoable([&] { return HostDeleteElements(&head, 1); }), NoError);
    EXPECT_TRUE(List("GSDI").empty());
    EXPECT_EQ(Info(APIWind_SectionID, sections[0], info), APIERR_BADID);
    EXPECT_EQ(Model().Find(picture), nullptr) << "the picture goes with its view";
    EXPECT_EQ(Current(APIWind_SectionID, sections[0]), APIERR_BADID);

    ASSERT_TRUE(Model().Undo());
    EXPECT_EQ(List("GSDI"), sections);
    EXPECT_NE(Model().Find(picture), nullptr);
}

TEST_F(HostViewDatabases, SectionsAreMadeOnlyWithTheirMarkerInTheFloorPlan)
{
    EXPECT_EQ(MakeCutPlane(API_CutPlaneID, "ohne", 0), APIERR_BADPARS);
    EXPECT_EQ(MakeCutPlane(API_CutPlaneID, "verkehrt", APISubElement_MainMarker, nullptr, 3, 0), APIERR_BADPARS);
    API_Guid first {};
    ASSERT_EQ(MakeCutPlane(API_CutPlaneID, "eins", APISubElement_MainMarker, &first), NoError);
    ASSERT_EQ(Current(APIWind_SectionID, List("GSDI")[0]), NoError);
    EXPECT_EQ(MakeCutPlane(API_CutPlaneID, "zwei", APISubElement_MainMarker), APIERR_REFUSEDCMD);
    EXPECT_EQ(List("GSDI").size(), 1u);

    API_Element plain;
    plain.header.typeID = API_CutPlaneID;
    ASSERT_EQ(HostGetElementDefaults(&plain, nullptr), NoError);
    API_ElementMemo memo;
    EXPECT_EQ(Undoable([&] { return HostCreateElement(&plain, &memo); }), APIERR_BADPARS) << "not without its marker";
}

// The change of the defaults touches only the fields its mask marks.
TEST_F(HostViewDatabases, ToolDefaultsKeepTheirReferenceId)
{
    API_Element defaults;
    defaults.header.typeID = API_ElevationID;
    ASSERT_EQ(HostGetElementDefaults(&defaults, nullptr), NoError);
    EXPECT_STREQ(defaults.cutPlane.referenceId, "E-01");
    std::snprintf(defaults.cutPlane.referenceId, sizeof defaults.cutPlane.referenceId, "%s", "E-02");
    std::snprintf(defaults.cutPlane.name, sizeof defaults.cutPlane.name, "%s", "nicht");
    API_Element mask;
    Mark(mask.cutPlane.referenceId);
    ASSERT_EQ(HostChangeElementDefaults(&defaults, nullptr, &mask), NoError);
    API_Element again;
    again.header.typeID = API_ElevationID;
    ASSERT_EQ(HostGetElementDefaults(&again, nullptr), NoError);
    EXPECT_STREQ(again.cutPlane.referenceId, "E-02");
    EXPECT_STREQ(again.cutPlane.name, "");
}

TEST_F(HostViewDatabases, WorksheetsAndWindows)
{
    API_DatabaseInfo sheet {};
    sheet.typeID = APIWind_WorksheetID;
    sheet.name = GS::UniString("Blatt");
    sheet.ref = GS::UniString("Blatt");
    ASSERT_EQ(HostDatabaseRequest(FourCC("NDAT"), &sheet, nullptr), NoError);
    EXPECT_EQ(List("GWDI"), std::vector<API_Guid> {sheet.databaseUnId});
    API_DatabaseInfo wrongKind {};
    wrongKind.typeID = APIWind_SectionID;
    EXPECT_EQ(HostDatabaseRequest(FourCC("NDAT"), &wrongKind, nullptr), APIERR_BADPARS);

    API_WindowInfo window {};
    window.typeID = APIWind_WorksheetID;
    window.databaseUnId = sheet.databaseUnId;
    ASSERT_EQ(HostAutomationRequest(FourCC("CHWD"), &window, nullptr), NoError);
    API_DatabaseInfo front {}, current {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("GWIN"), &front, nullptr), NoError);
    ASSERT_EQ(HostDatabaseRequest(FourCC("GDAT"), &current, nullptr), NoError);
    EXPECT_EQ(front.typeID, APIWind_WorksheetID);
    EXPECT_EQ(front.databaseUnId, sheet.databaseUnId);
    EXPECT_EQ(current.databaseUnId, sheet.databaseUnId);
    EXPECT_EQ(current.name.ToUtf8(), "Blatt");
    EXPECT_EQ(host->Fact("front-view"), "worksheet \"Blatt\"");

    window.databaseUnId = Model().NewGuid();
    EXPECT_EQ(HostAutomationRequest(FourCC("CHWD"), &window, nullptr), APIERR_BADID);
    EXPECT_EQ(Current(APIWind_WorksheetID, window.databaseUnId), APIERR_BADID);
    EXPECT_EQ(host->Fact("front-view"), "worksheet \"Blatt\"") << "a refused change keeps the window";
}

TEST_F(HostViewDatabases, PicturesNeedBmpDataAndRectanglesWithASize)
{
    const Bytes red = BmpRow({{0, 0, 255}});
    EXPECT_EQ(Picture({0, 0, 1, 1}, 0, Bytes(60, 0)), APIERR_BADPARS);
    EXPECT_EQ(Picture({0, 0, 0, 1}, 0, red), APIERR_BADPARS);
    EXPECT_EQ(Picture({0, 0, 1, 1}, std::nan(""), red), APIERR_BADPARS);
    API_Guid made {};
    ASSERT_EQ(Picture({-1, 2, 1, 4}, Pi / 2, red, &made), NoError);
    EXPECT_EQ(host->Fact("element 1"), "picture (-1,2)-(1,4) angle 1.5708 bmp 1x1 storey 0 layer 1");
    EXPECT_EQ(host->Fact("pictures"), "floorplan storey 0: 1");
}

// A picture of two pixels, red then blue, over (0, 0)-(2, 1) turned by 90° stands
// at x -1 to 0 with red from y 0 to 1 and blue from 1 to 2.
TEST_F(HostViewDatabases, AViewIsWrittenAsPngWithItsPicturesTurned)
{
    ASSERT_EQ(Picture({0, 0, 2, 1}, Pi / 2, BmpRow({{0, 0, 255}, {255, 0, 0}})), NoError);
    TempFolder folder;
    const std::string path = folder.path() + "/view.png";
    std::string error;
    ASSERT_TRUE(SimHost::WriteViewPng(Model(), {}, 10.0, path, error)) << error;
    GSPixMapHandle png = nullptr;
    ASSERT_TRUE(GX::ImageBase::ReadFile(IO::Location(path), png, GSPixMapPixelType32));
    EXPECT_EQ(GXGetGSPixMapWidth(png), 10);
    EXPECT_EQ(GXGetGSPixMapHeight(png), 20);
    const auto pixel = [&](int x, int y) {
        const std::uint8_t* p = GXGetGSPixMapBaseAddr(png) + (std::size_t(y) * 10 + std::size_t(x)) * 4;
        return std::array<int, 3> {p[2], p[1], p[0]};
    };
    EXPECT_EQ(pixel(5, 3), (std::array<int, 3> {0, 0, 255})) << "blue above";
    EXPECT_EQ(pixel(5, 16), (std::array<int, 3> {255, 0, 0})) << "red below";
    GXDeleteGSPixMap(png);

    SimHost::ViewChoice storeyOne;
    storeyOne.storey = 1;
    EXPECT_FALSE(SimHost::WriteViewPng(Model(), storeyOne, 10.0, path, error));
    EXPECT_EQ(error, "no pictures in that view");
}

TEST_F(HostViewDatabases, ViewsAndPicturesSurviveTheProjectFile)
{
    ASSERT_EQ(MakeCutPlane(API_CutPlaneID, "Schnitt A", APISubElement_MainMarker), NoError);
    ASSERT_EQ(Current(APIWind_SectionID, List("GSDI")[0]), NoError);
    const Bytes red = BmpRow({{0, 0, 255}});
    ASSERT_EQ(Picture({0, 0, 1, 1}, 0, red), NoError);
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(SimHost::SaveProjectFile(Model(), folder.path() + "/p.json", error)) << error;
    SimHost::ProjectModel read;
    ASSERT_TRUE(SimHost::ReadProjectFile(folder.path() + "/p.json", read, error)) << error;
    ASSERT_EQ(read.content.views.size(), 1u);
    EXPECT_EQ(read.content.views[0].name, "Schnitt A");
    EXPECT_EQ(read.content.views[0].unId, Model().content.views[0].unId);
    ASSERT_EQ(read.content.elements.size(), 2u);
    EXPECT_EQ(read.content.elements[1].memo.pictureData, red);
    ASSERT_TRUE(read.content.elements[1].view.has_value());
    EXPECT_EQ(read.content.elements[1].view->databaseUnId, Model().content.views[0].unId);
}

class HostInputAndLayers : public HostApiTest
{};

TEST_F(HostInputAndLayers, LayersAreFoundByNameAndMadeOnce)
{
    API_Attribute layer;
    std::memset(&layer, 0, sizeof layer);
    layer.header.typeID = API_LayerID;
    std::strcpy(layer.header.name, "A_B");
    EXPECT_EQ(HostSearchAttribute(&layer.header), APIERR_DELETED);
    ASSERT_EQ(HostCreateAttribute(&layer), NoError);
    EXPECT_EQ(layer.header.index, 2);
    EXPECT_EQ(HostCreateAttribute(&layer), APIERR_BADPARS) << "the name is taken";
    layer.header.index = 0;
    ASSERT_EQ(HostSearchAttribute(&layer.header), NoError);
    EXPECT_EQ(layer.header.index, 2);
    EXPECT_EQ(host->Fact("layers"), "1:Archicad-Ebene 2:A_B");
}

TEST_F(HostInputAndLayers, PointInputProgressStoreysToolboxAndViewTurn)
{
    host->inputAnswers_.push_back(SimHost::InputAnswer::Picked(API_Coord3D {1, 2, 3}));
    host->inputAnswers_.push_back(SimHost::InputAnswer {});
    API_GetPointType input {};
    ASSERT_EQ(HostInterfaceRequest(FourCC("IPOI"), &input, nullptr), NoError);
    EXPECT_EQ(input.pos.y, 2.0);
    EXPECT_EQ(HostInterfaceRequest(FourCC("IPOI"), &input, nullptr), APIERR_CANCEL);
    EXPECT_EQ(HostInterfaceRequest(FourCC("IPOI"), &input, nullptr), APIERR_CANCEL) << "no answer cancels";

    GS::UniString title("Survanto Add-On"), phase("Bilder");
    std::int16_t phases = 1;
    std::int32_t maximum = 3, step = 1;
    ASSERT_EQ(HostInterfaceRequest(FourCC("IPWD"), &title, &phases), NoError);
    ASSERT_EQ(HostInterfaceRequest(FourCC("SPRP"), &phase, &maximum), NoError);
    ASSERT_EQ(HostInterfaceRequest(FourCC("IPRV"), &step, nullptr), NoError);
    ASSERT_EQ(HostInterfaceRequest(FourCC("IPRV"), &step, nullptr), NoError);
    ASSERT_EQ(HostInterfaceRequest(FourCC("CPWD"), nullptr, nullptr), NoError);
    EXPECT_EQ(host->Fact("progress"), "\"Survanto Add-On\" \"Bilder\" 2/3 closed");

    Model().content.storeyLevels[1] = 3.0;
    API_StoryCmdType go;
    go.index = 1;
    ASSERT_EQ(HostEnvironmentRequest(FourCC("CSTO"), &go, nullptr), NoError);
    EXPECT_EQ(Model().currentStorey, 1);
    go.index = 5;
    EXPECT_EQ(HostEnvironmentRequest(FourCC("CSTO"), &go, nullptr), APIERR_BADINDEX);

    API_ToolBoxItem fill {API_HatchID, 0};
    ASSERT_EQ(HostEnvironmentRequest(FourCC("STBX"), &fill, nullptr), NoError);
    API_ToolBoxItem current {};
    ASSERT_EQ(HostEnvironmentRequest(FourCC("GTBX"), &current, nullptr), NoError);
    EXPECT_EQ(current.typeID, API_HatchID);

    Model().planRotation = Pi / 6;
    API_Tranmat tranmat {};
    ASSERT_EQ(HostDatabaseRequest(FourCC("GZOM"), nullptr, &tranmat), NoError);
    EXPECT_NEAR(std::atan2(tranmat.tmx[4], tranmat.tmx[0]), Pi / 6, 1e-12);
}

}  // namespace
