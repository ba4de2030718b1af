#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "ReplacedServices.hpp"
#include "UndoableCommand.hpp"
#include "pointclouds/ScannerCamera.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace
{

constexpr std::int32_t PartIndex = 5;

GSErrCode PartRefused(HostToken, API_LibPart*) { return APIERR_GENERAL; }
GSErrCode DefaultsRefused(HostToken, API_Element*, API_ElementMemo*) { return APIERR_GENERAL; }

class ScannerCamera : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        Model().content.storeyLevels[1] = 3.0;
        SimHost::LibraryPartEntry part;
        part.uniqueId = "{00000000-0000-4000-8000-000000000001}-{00000000-0000-4000-8000-000000000002}";
        part.name = "Scan";
        Model().libraryParts[PartIndex] = part;
    }

    API_Guid PlaceObject(double angle, bool withScanner = true)
    {
        SimHost::StoredElement object;
        object.record.header.typeID = API_ObjectID;
        object.record.header.guid = Model().NewGuid();
        object.record.header.layer = 1;
        object.record.header.floorInd = 1;
        object.record.object.position = {10, 20};
        object.record.object.angle = angle;
        object.record.object.libraryPartIndex = PartIndex;
        if (withScanner)
            object.memo.params = {MakeParameter("scannerX", APIParT_Length, 1), MakeParameter("scannerY", APIParT_Length, 2),
                                  MakeParameter("scannerZ", APIParT_Length, 1.5)};
        Model().content.elements.push_back(object);
        return object.record.header.guid;
    }

    const SimHost::StoredElement& Element(const API_Guid& guid) { return *Model().Find(guid); }

    std::vector<SimHost::StoredElement> OfType(API_ElemTypeID type)
    {
        std::vector<SimHost::StoredElement> found;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == type) found.push_back(e);
        return found;
    }

    std::u16string SetName() { return OfType(API_CamSetID).at(0).record.camset.name; }
};

struct CameraCase
{
    const char* name;
    double angle;
    bool withScanner;
    std::optional<double> x, y, z;
    API_Coord at;
    double height;
};

TEST_F(ScannerCamera, StandsAtTheScannerTurnedWithTheObject)
{
    const CameraCase cases[] = {
        {"storey level and offset", 0.0, true, {}, {}, {}, {11, 22}, 4.5},
        {"turned by 90 degrees", Pi / 2, true, {}, {}, {}, {8, 21}, 4.5},
        {"base point given", 0.0, true, 5.0, 6.0, 7.0, {6, 8}, 8.5},
        {"only x given", 0.0, true, 5.0, {}, {}, {6, 22}, 4.5},
        {"no scanner parameters", 0.0, false, {}, {}, {}, {10, 20}, 3.0},
    };
    for (const CameraCase& c : cases)
    {
        const API_Guid camera =
            InUndoableCommand([&] { return CreateScannerCamera(PlaceObject(c.angle, c.withScanner), c.x, c.y, c.z); });
        ASSERT_NE(camera, APINULLGuid) << c.name;
        const API_CameraType& made = Element(camera).record.camera;
        EXPECT_NEAR(made.position.x, c.at.x, 1e-12) << c.name;
        EXPECT_NEAR(made.position.y, c.at.y, 1e-12) << c.name;
        EXPECT_NEAR(made.target.x, c.at.x, 1e-12) << c.name;
        EXPECT_NEAR(made.target.y, c.at.y + 1, 1e-12) << c.name;
        EXPECT_DOUBLE_EQ(made.cameraZ, c.height) << c.name;
        EXPECT_DOUBLE_EQ(made.targetZ, c.height) << c.name;
    }
}

TEST_F(ScannerCamera, HasASetOfItsOwnAndIsLinkedBothWaysWithTheObject)
{
    const API_Guid object = PlaceObject(0.0);
    const API_Guid camera = InUndoableCommand([&] { return CreateScannerCamera(object); });
    const API_CameraType& made = Element(camera).record.camera;
    EXPECT_DOUBLE_EQ(made.viewCone, 82 * Degree);
    EXPECT_DOUBLE_EQ(made.azimuth, Pi / 2);
    EXPECT_EQ(made.inFrames, 0.01);
    EXPECT_EQ(made.outFrames, 0.01);
    EXPECT_EQ(made.nextCam, APINULLGuid);
    EXPECT_EQ(made.head.layer, 1);
    const API_CamSetType& set = Element(made.camSetGuid).record.camset;
    EXPECT_EQ(std::u16string(set.name), u"Survanto - Scan");
    EXPECT_TRUE(set.showCams);
    EXPECT_FALSE(set.closedPath);
    EXPECT_FALSE(set.smoothPath);
    EXPECT_EQ(set.bezierSteps, 15);
    EXPECT_EQ(set.framesPerCamera, 7);
    EXPECT_TRUE(set.smoothTarget);
    ASSERT_EQ(Element(object).links.size(), 1u);
    EXPECT_EQ(Element(object).links[0].to, camera);
    EXPECT_EQ(Element(object).links[0].flags, 1u);
    ASSERT_EQ(Element(camera).links.size(), 1u);
    EXPECT_EQ(Element(camera).links[0].to, object);
    EXPECT_EQ(Element(camera).links[0].flags, 1u);
    EXPECT_TRUE(Element(camera).observed);
    // A second camera gets a second set.
    InUndoableCommand([&] { return CreateScannerCamera(object); });
    EXPECT_EQ(OfType(API_CamSetID).size(), 2u);
}

// 255 UTF-16 units at most; a pair of surrogates is not split.
TEST_F(ScannerCamera, TheSetsNameIsCutWholeCharacters)
{
    const struct
    {
        std::u16string partName;
        std::size_t units;
    } cases[] = {
        {std::u16string(300, u'x'), 255},
        {std::u16string(243, u'x') + u"\U0001F600" + u"yy", 254},
        {std::u16string(242, u'x') + u"\U0001F600" + u"yy", 255},
    };
    for (const auto& c : cases)
    {
        Model().libraryParts[PartIndex].name = GS::Utf16ToUtf8(c.partName);
        Model().content.elements.clear();
        InUndoableCommand([&] { return CreateScannerCamera(PlaceObject(0.0)); });
        const std::u16string name = SetName();
        EXPECT_EQ(name.size(), c.units);
        EXPECT_EQ(name, (u"Survanto - " + c.partName).substr(0, c.units));
        EXPECT_FALSE(name.back() >= 0xD800 && name.back() < 0xDC00);
    }
}

// No GUID of a camera the host did not make is handed on.
TEST_F(ScannerCamera, NoCameraWithoutItsSetAndNoSetWithoutItsCamera)
{
    const API_Guid object = PlaceObject(0.0);
    Model().DefaultsFor(API_CameraID, 0).record.header.layer = 77;
    EXPECT_EQ(InUndoableCommand([&] { return CreateScannerCamera(object); }), APINULLGuid);
    EXPECT_TRUE(OfType(API_CamSetID).empty());
    EXPECT_TRUE(OfType(API_CameraID).empty());
    EXPECT_TRUE(Element(object).links.empty());

    Model().DefaultsFor(API_CameraID, 0).record.header.layer = 1;
    Host().FailService(HostSlot::HostCreateElement);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    EXPECT_EQ(InUndoableCommand([&] { return CreateScannerCamera(object); }), APINULLGuid);
    EXPECT_TRUE(Element(object).links.empty());
}

// The set is named after the part and the camera takes the camera tool's
// settings: without either, no set is begun.
TEST_F(ScannerCamera, NoSetWithoutThePartsNameOrTheCameraToolsSettings)
{
    const API_Guid object = PlaceObject(0.0);
    for (const bool partRefused : {true, false})
    {
        const char* name = partRefused ? "part refused" : "camera tool's defaults refused";
        ReplacedServices replaced(Host());
        if (partRefused)
            REPLACE_HOST_SERVICE(replaced, HostGetLibraryPart, PartRefused);
        else
            REPLACE_HOST_SERVICE(replaced, HostGetElementDefaults, DefaultsRefused);
        EXPECT_EQ(InUndoableCommand([&] { return CreateScannerCamera(object); }), APINULLGuid) << name;
        EXPECT_TRUE(OfType(API_CamSetID).empty()) << name;
        EXPECT_TRUE(OfType(API_CameraID).empty()) << name;
        EXPECT_TRUE(Element(object).links.empty()) << name;
    }
}

TEST_F(ScannerCamera, AnObjectThatIsGoneGetsNoCamera)
{
    EXPECT_EQ(InUndoableCommand([&] { return CreateScannerCamera(Model().NewGuid()); }), APINULLGuid);
    EXPECT_TRUE(OfType(API_CamSetID).empty());
}

}  // namespace
