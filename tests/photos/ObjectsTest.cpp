#include <utime.h>

#include <filesystem>
#include <string>
#include <vector>

#include "GX/ImageBase.hpp"
#include "LibraryServices.hpp"
#include "MarkerSupport.hpp"
#include "PhotoFixture.hpp"
#include "ReplacedServices.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/MeasuringState.hpp"
#include "photos/PhotoLibraryPart.hpp"
#include "photos/PhotoLocationNames.hpp"

namespace
{

std::vector<const SimHost::StoredElement*> PhotoObjects(const SimHost::ProjectModel& model)
{
    return PlacedObjectsOf(model, PlacedPhotoPartId);
}

// The embedded picture's size in pixels, 0 x 0 when there is none.
std::pair<int, int> EmbeddedSize(const SimHost::Host& host, const std::string& name)
{
    GSPixMapHandle read = nullptr;
    const std::string path = SimHost::EmbeddedLibraryFolderPath(host) + "/Survanto/" + name + "_emb.png";
    if (!GX::ImageBase::ReadFile(IO::Location(path), read, 4)) return {0, 0};
    const std::pair<int, int> size {GXGetGSPixMapWidth(read), GXGetGSPixMapHeight(read)};
    GXDeleteGSPixMap(read);
    return size;
}

void SetTime(const std::string& path, long seconds)
{
    const utimbuf times {seconds, seconds};
    ::utime(path.c_str(), &times);
}

bool Registered(const SimHost::ProjectModel& model, const std::string& name)
{
    for (const auto& entry : model.libraryParts)
        if (entry.second.name == name) return true;
    return false;
}

// The host refusing one of the reads that placing a photo relies on.
enum class Refusal
{
    None,
    ToolDefaults,
    PartParameters,
    EmbeddedLibrary,
    ScratchFolder
};
Refusal refusal = Refusal::None;
HostServiceSignature::HostGetElementDefaults hostDefaults = nullptr;
HostServiceSignature::HostGetLibraryPartParameters hostParameters = nullptr;
HostServiceSignature::HostEnvironmentRequest hostEnvironment = nullptr;

// The layer check reads the same tool's defaults without a memo; placing reads them with one.
GSErrCode DefaultsWithMemoRefused(HostToken token, API_Element* element, API_ElementMemo* memo)
{
    return refusal == Refusal::ToolDefaults && memo != nullptr ? APIERR_GENERAL : hostDefaults(token, element, memo);
}
GSErrCode ParametersRefused(HostToken token, std::int32_t index, double* a, double* b, std::vector<API_AddParType>* params)
{
    return refusal == Refusal::PartParameters ? APIERR_GENERAL : hostParameters(token, index, a, b, params);
}
GSErrCode SpecialFolderRefused(HostToken token, std::int32_t code, void* par1, void* par2)
{
    if (code == FourCC("GSPF"))
    {
        const std::int32_t folder = static_cast<API_SpecFolderRequest*>(par1)->folderId;
        if ((refusal == Refusal::EmbeddedLibrary && folder == API_EmbeddedProjectLibraryFolderID) ||
            (refusal == Refusal::ScratchFolder && folder == API_ApplicationDataFolderID))
            return APIERR_GENERAL;
    }
    return hostEnvironment(token, code, par1, par2);
}

}  // namespace

class ObjectsTest : public PhotoFixture
{
protected:
    void SetUp() override
    {
        PhotoFixture::SetUp();
        Host().SelectTool(API_ObjectID, FourCC("SVPH"));
    }

    const SimHost::StoredElement* Place(const std::string& photo, const API_Coord3D& first, const API_Coord3D& second,
                                        int turns = 0)
    {
        Preview().photoLocation = IO::Location(photo);
        Preview().quarterTurns = turns;
        SetPoints({first, second});
        Main().PlacePhotoObject();
        EXPECT_EQ(Main().pointStep, 0);
        const auto placed = PhotoObjects(Model());
        return placed.empty() ? nullptr : placed.back();
    }
};

// The arrow looks from the first point to the second, clockwise from north, in
// [0, 2π): a north measured with the last bit of noise to the west is 0, not 2π.
TEST_F(ObjectsTest, TheArrowAngleIsTheBearingOfTheSecondPoint)
{
    const std::string photo = WritePhoto("a.png", 40, 30);
    const struct
    {
        double dx, dy, angle;
    } cases[] = {{0, 2, 0}, {2, 0, Pi / 2}, {0, -2, Pi}, {-2, 0, 3 * Pi / 2}, {0, 0, 0}, {-2.220446049250313e-16, 1, 0}};
    for (const auto& c : cases)
    {
        const SimHost::StoredElement* placed = Place(photo, {1, 1, 0}, {1 + c.dx, 1 + c.dy, 0});
        ASSERT_NE(placed, nullptr);
        EXPECT_NEAR(NumberParameter(*placed, "angleArrow"), c.angle, 1e-9) << c.dx << "," << c.dy;
        EXPECT_EQ(NumberParameter(*placed, "dirx"), 0.0);
        EXPECT_EQ(NumberParameter(*placed, "diry"), 0.0);
        EXPECT_EQ(placed->record.object.position.x, 1.0);
        EXPECT_EQ(placed->record.object.sizeA, 1.0);
    }
    EXPECT_EQ(PhotoObjects(Model()).size(), 6u);
    EXPECT_EQ(TextParameter(*PhotoObjects(Model()).front(), "photoName"), "a");
}

// The embedded copy fits 200 x 200, small photos enlarged; the ratio is the photo's.
TEST_F(ObjectsTest, EmbedsTheFittedPictureAndReturnsTheRatio)
{
    EXPECT_NEAR(Main().EmbedPhotoPicture(IO::Location(WritePhoto("large.png", 4000, 3000))), 4.0 / 3.0, 1e-12);
    EXPECT_EQ(EmbeddedSize(Host(), "large"), (std::pair<int, int> {200, 150}));
    EXPECT_NEAR(Main().EmbedPhotoPicture(IO::Location(WritePhoto("small.png", 100, 50))), 2.0, 1e-12);
    EXPECT_EQ(EmbeddedSize(Host(), "small"), (std::pair<int, int> {200, 100}));
    // Far wider than high: still one pixel high.
    Main().EmbedPhotoPicture(IO::Location(WritePhoto("strip.png", 1000, 1)));
    EXPECT_EQ(EmbeddedSize(Host(), "strip"), (std::pair<int, int> {200, 1}));
    EXPECT_EQ(Main().EmbedPhotoPicture(IO::Location(photos_.path() + "/none.png")), 0.0);
}

// Two photos of one name from two folders share the picture of the first.
TEST_F(ObjectsTest, OnePicturePerName)
{
    const std::string first = WritePhoto("same.png", 100, 50);
    std::filesystem::create_directory(photos_.path() + "/other");
    const std::string second = WritePhoto("other/same.png", 50, 100);
    Main().EmbedPhotoPicture(IO::Location(first));
    Main().EmbedPhotoPicture(IO::Location(second));
    EXPECT_EQ(EmbeddedSize(Host(), "same"), (std::pair<int, int> {200, 100}));
    int registered = 0;
    for (const auto& entry : Model().libraryParts) registered += entry.second.name == "same_emb" ? 1 : 0;
    EXPECT_EQ(registered, 1);
}

// Automatic photos take the newest file; of equal times the first.
TEST_F(ObjectsTest, AutomaticPhotosTakeTheNewestFile)
{
    const long times[] = {10, 30, 30};
    const char* names[] = {"p1.png", "p2.png", "p3.png"};
    for (int i = 0; i < 3; ++i) SetTime(WritePhoto(names[i], 8, 6), times[i]);
    Folder().photoFolder = IO::Location(photos_.path());
    Main().userData.GetCurrentUserData(measuringState, Main()).automaticPictures = true;
    const SimHost::StoredElement* placed = Place("", {0, 0, 0}, {0, 1, 0});
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(TextParameter(*placed, "photoName"), "p2");
}

// Without the tool's settings or the part's parameters no object is placed and
// nothing is embedded for it; without a folder for the picture the object is
// placed with the photo's ratio and without a picture. The action always ends.
TEST_F(ObjectsTest, RefusedReadsStopWhatTheyFeed)
{
    struct Case
    {
        const char* photo;
        Refusal refusal;
        bool placed;
        bool embedded;
    };
    const Case cases[] = {
        {"answered", Refusal::None, true, true},
        {"defaults", Refusal::ToolDefaults, false, false},
        {"parameters", Refusal::PartParameters, false, false},
        {"library", Refusal::EmbeddedLibrary, true, false},
        {"scratch", Refusal::ScratchFolder, true, false},
    };
    ReplacedServices replaced(Host());
    hostDefaults = REPLACE_HOST_SERVICE(replaced, HostGetElementDefaults, DefaultsWithMemoRefused);
    hostParameters = REPLACE_HOST_SERVICE(replaced, HostGetLibraryPartParameters, ParametersRefused);
    hostEnvironment = REPLACE_HOST_SERVICE(replaced, HostEnvironmentRequest, SpecialFolderRefused);
    for (const Case& c : cases)
    {
        Model().content.elements.clear();
        refusal = c.refusal;
        const SimHost::StoredElement* placed = Place(WritePhoto(std::string(c.photo) + ".png", 40, 30), {1, 1, 0}, {1, 3, 0});
        EXPECT_EQ(placed != nullptr, c.placed) << c.photo;
        if (placed != nullptr)
        {
            EXPECT_NEAR(NumberParameter(*placed, "pictRatio"), 4.0 / 3.0, 1e-12) << c.photo;
        }
        const std::pair<int, int> pictureSize = c.embedded ? std::pair<int, int> {200, 150} : std::pair<int, int> {0, 0};
        EXPECT_EQ(EmbeddedSize(Host(), c.photo), pictureSize) << c.photo;
        EXPECT_EQ(Registered(Model(), std::string(c.photo) + "_emb"), c.embedded) << c.photo;
    }
    refusal = Refusal::None;
}

// Without a photo nothing is placed, and the action ends.
TEST_F(ObjectsTest, NothingIsPlacedWithoutAPhoto) { EXPECT_EQ(Place("", {0, 0, 0}, {0, 1, 0}), nullptr); }

// Turns go into the object as radians, unreduced, and come back from it.
TEST_F(ObjectsTest, QuarterTurnsGoAndComeBack)
{
    const std::string photo = WritePhoto("t.png", 8, 6);
    Preview().SetResourceModules(CurrentResourceModule(), Main().resourceModules[0]);
    Preview().OpenPalette(211);
    for (const int turns : {3, 4})
    {
        const SimHost::StoredElement* placed = Place(photo, {0, 0, 0}, {0, 1, 0}, turns);
        ASSERT_NE(placed, nullptr);
        EXPECT_NEAR(NumberParameter(*placed, "pictRotAngle"), turns * Pi / 2, 1e-12);
        API_Neig selection;
        selection.neigID = ElemTypeToNeig(API_ObjectID);
        selection.guid = placed->record.header.guid;
        Preview().photoLocation = IO::Location();
        Preview().quarterTurns = 0;
        Main().ShowSelectedPhoto(selection);
        EXPECT_EQ(Preview().quarterTurns, turns);
        EXPECT_EQ(Preview().photoLocation.ToPath(), photo);
    }
}

// Selecting anything but a photo object leaves the preview alone.
TEST_F(ObjectsTest, AnotherSelectionShowsNothing)
{
    Preview().SetResourceModules(CurrentResourceModule(), Main().resourceModules[0]);
    Preview().OpenPalette(211);
    const SimHost::StoredElement* marker = nullptr;
    Main().actionPoints.Clear();
    Host().SelectTool(API_ObjectID, 0);
    for (const auto& entry : Model().libraryParts)
        if (entry.second.name == "Survanto Messpunkt")
        {
            API_Element object;
            object.header.typeID = API_ObjectID;
            HostGetElementDefaults(&object, nullptr);
            object.object.libraryPartIndex = entry.first;
            API_ElementMemo memo;
            HostCallUndoableCommand(GS::UniString(), [&] { return HostCreateElement(&object, &memo); });
            marker = &Model().content.elements.back();
        }
    ASSERT_NE(marker, nullptr);
    API_Neig selection;
    selection.neigID = ElemTypeToNeig(API_ObjectID);
    selection.guid = marker->record.header.guid;
    Main().ShowSelectedPhoto(selection);
    EXPECT_TRUE(Preview().photoLocation.IsEmpty());
}

// The names as zero-terminated UTF-16 texts one after the other; none give one
// empty text; a damaged block is read only as far as it goes.
TEST_F(ObjectsTest, NameArraysAreOneBlockOfTexts)
{
    API_AddParType parameter;
    SetNameArray(parameter, {GS::UniString("ab"), GS::UniString(u"\u00e9")});
    EXPECT_EQ(parameter.dim1, 2);
    EXPECT_EQ(parameter.arrayTexts, (std::vector<std::uint8_t> {'a', 0, 'b', 0, 0, 0, 0xE9, 0, 0, 0}));
    EXPECT_EQ(ReadNameArray(parameter), (std::vector<GS::UniString> {GS::UniString("ab"), GS::UniString(u"\u00e9")}));
    SetNameArray(parameter, {});
    EXPECT_EQ(parameter.dim1, 1);
    EXPECT_EQ(parameter.arrayTexts, (std::vector<std::uint8_t> {0, 0}));
    parameter.dim1 = 5;
    parameter.arrayTexts = {'x', 0, 'y', 0};
    EXPECT_EQ(ReadNameArray(parameter), (std::vector<GS::UniString> {GS::UniString("xy")}));
    const PhotoLocationNames names = NamesOfLocation(IO::Location(std::string("//server/share/site/a.jpg")));
    EXPECT_EQ(names.network.size(), 2u);
    EXPECT_EQ(LocationOfNames(names).ToPath(), "//server/share/site/a.jpg");
}
