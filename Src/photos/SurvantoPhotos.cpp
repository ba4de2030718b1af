#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "API/AddOnInterface.hpp"
#include "API/LibraryParts.hpp"
#include "FTM/FileTypeManager.hpp"
#include "IO/File.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/OwnChangeScope.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Vektor2D.hpp"
#include "measuring/MeasuringState.hpp"
#include "photos/PhotoFiles.hpp"
#include "photos/PhotoImages.hpp"
#include "photos/PhotoLibraryPart.hpp"
#include "photos/PhotoLocationNames.hpp"

// Photo objects: an object of the add-on's subtype "SVPH" stands at the first of
// two measured points, looks towards the second and carries a photo's name,
// location, aspect ratio and turns, with a small copy of the photo embedded in
// the project's library. Nothing here reports a failure.

namespace
{

constexpr std::int32_t PhotoSubtype = FourCC("SVPH");
constexpr double EmbeddedBox = 200.0;
constexpr const char* EmbeddedFolderName = "Survanto";
constexpr const char* NetworkNamesWritten[] = {"networkLocation", "fileNetLocation"};
constexpr const char* NetworkNamesRead[] = {"fileNetLocation", "networkLocation"};
constexpr std::uint64_t WholeMemo = 0x07FFFFFFBFFFFFFFull;
constexpr std::int32_t FolderPaletteFlags = 1;

// True while a selected photo is being shown.
bool showingSelectedPhoto = false;

class DisplayGuard
{
public:
    DisplayGuard() { showingSelectedPhoto = true; }
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
    ~DisplayGuard() { showingSelectedPhoto = false; }
};

API_AddParType* Parameter(API_ElementMemo& memo, const char* name)
{
    const std::int32_t index = FindMemoParamIndex(name, memo);
    return index < 0 ? nullptr : &memo.params[static_cast<std::size_t>(index)];
}

void SetReal(API_ElementMemo& memo, const char* name, double value)
{
    if (API_AddParType* parameter = Parameter(memo, name)) parameter->value = value;
}

// The newest of the files by modification time; ties go to the earlier one.
IO::Location NewestFile(const TypVektor<IO::Location>& files)
{
    std::uint32_t newest = 0;
    std::int64_t newestTime = 0;
    for (std::uint32_t i = 0; i < files.GetSize(); ++i)
    {
        const IO::File file(files[i]);
        std::int64_t time = 0;
        file.GetModificationTime(time);
        if (time > newestTime)
        {
            newest = i;
            newestTime = time;
        }
    }
    return files[newest];
}

// The direction of the second point seen from the first, clockwise from north, in
// [0, 2π): a bearing a rounding error west of north would come out as a whole 2π.
double ArrowAngle(const API_Coord3D& first, const API_Coord3D& second)
{
    const double theta = Vektor2D(second.x - first.x, second.y - first.y).GetAngle();
    double angle = Pi / 2 - theta;
    if (angle < 0) angle += 2 * Pi;
    return angle >= 2 * Pi ? 0.0 : angle;
}

bool FrontWindowIsFloorPlan()
{
    API_DatabaseInfo window {};
    return HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) == NoError && window.typeID == APIWind_FloorPlanID;
}

}  // namespace

void Survanto::PlacePhotoObject()
{
    std::int32_t type = API_ObjectID;
    std::int32_t variation = PhotoSubtype;
    if (!CheckToolLayer(&type, &variation, nullptr) || actionPoints.GetSize() < 2)
    {
        pointStep = 0;
        return;
    }
    ProjectPointsToSectionView();
    const std::int32_t partIndex = FindPhotoLibraryPart(PlacingPhotoPartId);
    if (partIndex == 0)
    {
        pointStep = 0;
        return;
    }

    PhotoPalette& preview = photoFolderDialog.photoPalette;
    IO::Location photo;
    if (userData.GetCurrentUserData(measuringState, *this).automaticPictures)
    {
        photoLocations = ListImageFiles(photoFolderDialog.photoFolder);
        if (!photoLocations.IsEmpty()) photo = NewestFile(photoLocations);
    }
    else
    {
        photo = preview.photoLocation;
    }
    if (photo.IsEmpty())
    {
        pointStep = 0;
        return;
    }

    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.variationID = PhotoSubtype;
    ScopedElementMemo memo;
    // Without the tool's settings or the part's parameters there is no object to
    // place, and no picture is embedded for it.
    if (HostGetElementDefaults(&element, &*memo) != NoError)
    {
        pointStep = 0;
        return;
    }
    if (memo->params.empty())
    {
        memo.Empty();
        if (HostGetLibraryPartParameters(partIndex, nullptr, nullptr, &memo->params) != NoError)
        {
            pointStep = 0;
            return;
        }
    }
    const double ratio = EmbedPhotoPicture(photo);

    const API_Coord3D first = actionPoints[0];
    const API_Coord3D second = actionPoints[1];
    const GS::UniString name = PhotoNameOf(photo);
    SetReal(*memo, "pictRatio", ratio);
    SetReal(*memo, "dirx", 0.0);
    SetReal(*memo, "diry", 0.0);
    SetReal(*memo, "angleArrow", ArrowAngle(first, second));
    if (API_AddParType* parameter = Parameter(*memo, "photoName")) parameter->text = name;
    SetReal(*memo, "pictRotAngle", preview.quarterTurns * Pi / 2);
    SetReal(*memo, "bShowArrow", FrontWindowIsFloorPlan() ? 1.0 : 0.0);
    const PhotoLocationNames names = NamesOfLocation(photo);
    for (const char* networkName : NetworkNamesWritten)
        if (API_AddParType* parameter = Parameter(*memo, networkName)) SetNameArray(*parameter, names.network);
    if (API_AddParType* parameter = Parameter(*memo, "fileLocation")) SetNameArray(*parameter, names.local);

    bool created = false;
    HostCallUndoableCommand(GS::UniString(), [&] {
        const OwnChangeScope ownChange("PlacePhotoObject");
        element.object.position = {first.x, first.y};
        element.object.angle = 0.0;
        element.object.sizeA = 1.0;
        element.object.sizeB = 1.0;
        element.object.libraryPartIndex = partIndex;
        element.header.variationID = PhotoSubtype;
        created = HostCreateElement(&element, &*memo) == NoError;
        HostAttachElementObserver(&element.header, 0);
        memo.Dispose();
        return GSErrCode(NoError);
    });
    // Greyed only once the object that shows the photo exists.
    if (created) photoFolderDialog.MarkPhoto(name, true);
    pointStep = 0;
}

double Survanto::EmbedPhotoPicture(const IO::Location& photo)
{
    API_SpecFolderRequest root;
    root.folderId = API_EmbeddedProjectLibraryFolderID;
    const bool rootKnown = HostEnvironmentRequest(FourCC("GSPF"), &root, nullptr) == NoError;
    const PixMapHolder picture = ReadPhoto(photo);
    if (picture == nullptr) return 0.0;
    const double w = GXGetGSPixMapWidth(picture.get());
    const double h = GXGetGSPixMapHeight(picture.get());
    if (w <= 0 || h <= 0) return 0.0;
    const double s = std::min(EmbeddedBox / w, EmbeddedBox / h);
    // A photo far wider than high still gets a picture of one pixel's height.
    const auto width = std::max<std::int32_t>(1, static_cast<std::int32_t>(w * s));
    const auto height = std::max<std::int32_t>(1, static_cast<std::int32_t>(h * s));
    const double ratio = w / h;
    // Without the embedded library's folder the picture has nowhere to go.
    if (!rootKnown) return ratio;
    const PixMapHolder scaled = StretchPhoto(picture.get(), width, height);

    const GS::UniString pictureName = PhotoNameOf(photo) + GS::UniString("_emb");
    const std::string fileName = pictureName.ToUtf8() + ".png";
    IO::Location folder = root.location;
    folder.AppendToLocal(EmbeddedFolderName);
    HostEnvironmentRequest(FourCC("CFOL"), &folder, nullptr);
    IO::Location libraryFile = folder;
    libraryFile.AppendToLocal(fileName);

    API_LibPart part;
    part.typeID = APILib_PictID;
    part.name = pictureName;
    if (HostSearchLibraryPart(&part) == NoError)
    {
        part.location.reset();
        HostGetLibraryPart(&part);
        return ratio;
    }
    API_SpecFolderRequest scratch;
    scratch.folderId = API_ApplicationDataFolderID;
    if (HostEnvironmentRequest(FourCC("GSPF"), &scratch, nullptr) != NoError) return ratio;
    IO::Location written = scratch.location;
    written.AppendToLocal(fileName);
    if (scaled == nullptr || !WritePngFile(scaled.get(), written)) return ratio;
    API_FileCopyRequest copy;
    copy.files.push_back(written);
    copy.overwrite = true;
    HostEnvironmentRequest(FourCC("CFIL"), &folder, &copy);
    part.location = std::make_unique<IO::Location>(libraryFile);
    if (HostRegisterLibraryPart(&part) != NoError)
    {
        API_LibPart again;
        again.typeID = APILib_PictID;
        again.name = pictureName;
        if (HostSearchLibraryPart(&again) == NoError)
        {
            again.location.reset();
            HostGetLibraryPart(&again);
        }
    }
    return ratio;
}

void Survanto::ShowSelectedPhoto(const API_Neig& selection)
{
    if (GetOwnChangeCounter() > 0 || showingSelectedPhoto) return;
    const DisplayGuard guard;
    if (NeigToElemType(selection.neigID) != API_ObjectID) return;
    const std::int32_t partIndex = FindPhotoLibraryPart(PlacedPhotoPartId);
    if (partIndex == 0) return;
    API_Element element;
    element.header.guid = selection.guid;
    if (HostGetElement(&element) != NoError || element.object.libraryPartIndex != partIndex) return;
    ScopedElementMemo memo;
    if (HostGetElementMemo(&selection.guid, &*memo, WholeMemo) != NoError) return;

    PhotoLocationNames names;
    for (const char* networkName : NetworkNamesRead)
    {
        if (const API_AddParType* parameter = Parameter(*memo, networkName))
        {
            names.network = ReadNameArray(*parameter);
            break;
        }
    }
    if (const API_AddParType* parameter = Parameter(*memo, "fileLocation")) names.local = ReadNameArray(*parameter);
    const API_AddParType* turns = Parameter(*memo, "pictRotAngle");
    const auto quarterTurns = turns == nullptr ? 0 : static_cast<std::int32_t>(turns->value / (Pi / 2) + 0.5);
    const IO::Location location = LocationOfNames(names);
    const GS::UniString path = location.ToUniString();
    if (!path.IsEmpty())
    {
        const IO::File file(location, IO::File::Fail);
        if (file.GetStatus() != 0) AskForPhotoFolder();
    }
    if (!(photoFolderDialog.photoPalette.photoLocation == location)) ShowPhotoInPreview(path, quarterTurns);
}

void Survanto::AskForPhotoFolder()
{
    if (photoFolderDialog.GetOpenMode() == Closed)
    {
        photoFolderDialog.SetResourceModules(CurrentResourceModule(), resourceModules[0]);
        photoFolderDialog.OpenPalette(FolderPaletteFlags);
    }
    photoFolderDialog.ChooseFolder();
}

void Survanto::ShowPhotoInPreview(const GS::UniString& path, std::int32_t quarterTurns)
{
    PhotoPalette& preview = photoFolderDialog.photoPalette;
    if (preview.GetOpenMode() == Closed) return;
    preview.photoLocation = IO::Location(path);
    preview.quarterTurns = quarterTurns;
    preview.LoadPhoto();
}
