// XYZ point lists: every measured-point marker written out as a line of three
// numbers, and a marker placed for every point line of such a file.
#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "DG/FileDialog.hpp"
#include "FTM/FileTypeManager.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/PointListLine.hpp"

namespace
{

constexpr std::int16_t DialogStrings = 32580;
constexpr std::int16_t ImportTitle = 5;
constexpr std::int16_t FileTypeText = 6;
constexpr std::int16_t ExportTitle = 7;
constexpr std::int32_t ErrorTitle = AlertErrorTitle;
constexpr std::int32_t WarningTitle = AlertWarningTitle;
constexpr std::int32_t NothingToExportText = 80;
constexpr std::int32_t LinesTakenText = 125;
constexpr std::int32_t OkButton = AlertOkButton;
// The import looks for a cancel this often; the progress moves on as often.
constexpr std::int64_t LinesPerProgressStep = 500;
constexpr std::int32_t FreeAreaLayerSlot = 12;
constexpr unsigned LineCapacity = 1024;
constexpr unsigned char ByteOrderMark[] = {0xEF, 0xBB, 0xBF};

GS::UniString DialogText(std::int16_t entry) { return RS::GetIndString(DialogStrings, entry, CurrentResourceModule()); }

// The file the user chose in the open dialog; false when cancelled.
bool ChoosePointListToImport(IO::Location& chosen)
{
    const GS::UniString fileType = DialogText(FileTypeText);
    DG::FileDialog dialog(DG::FileDialog::OpenFile);
    dialog.EnablePreview();
    FTM::FileTypeManager manager("PointLists");
    const FTM::GroupID group = manager.AddGroup(fileType, FTM::RootGroup);
    manager.AddType(FTM::FileType(fileType, "xyz"), group);
    dialog.AddFilter(manager, group);
    dialog.SelectFilter(0);
    dialog.SetTitle(DialogText(ImportTitle));
    if (!dialog.Invoke() || dialog.GetSelectionCount() == 0) return false;
    chosen = dialog.GetSelectedFile(0);
    return true;
}

// The place of every measured-point marker, offset added and its height absolute.
std::vector<API_Coord3D> MeasuredPointsToExport()
{
    const FloorPlanDatabaseScope floorPlan;
    const API_Coord offset = GetLocationOffset();
    std::vector<API_Coord3D> points;
    for (const API_Guid& guid : MarkerPart::PlacedMarkers({MarkerPart::MeasuredPoint}))
    {
        API_Element marker {};
        marker.header.typeID = API_ObjectID;
        marker.header.guid = guid;
        if (HostGetElement(&marker) != NoError) continue;
        points.push_back({marker.object.position.x + offset.x, marker.object.position.y + offset.y,
                          marker.object.elevation + GetStoryLevel(marker.header.floorInd)});
    }
    return points;
}

// The host's file writes beside the chosen one and replaces it only at a
// complete Close, so a failed export leaves an older file whole.
bool WritePointList(const IO::Location& location, const std::vector<API_Coord3D>& points)
{
    CDataRecorder recorder(CDataRecorder::EncodingUtf8);
    recorder.SetMode(CDataRecorder::ModeHostFileText);
    recorder.SetPath(location.ToPath().c_str());
    if (recorder.OpenWrite() != 0) return false;
    bool written = recorder.WriteBytes(ByteOrderMark, sizeof ByteOrderMark);
    for (const API_Coord3D& point : points)
    {
        const std::string line = PointListLine::Format(point);
        written = written && recorder.WriteBytes(line.data(), line.size());
    }
    return recorder.Close() == 0 && written;
}

// The progress window from before the import's command to its end, on every way out.
class ImportProgress
{
public:
    ImportProgress(GS::UniString title, std::int32_t size) : title_(std::move(title)), size_(size)
    {
        HostInterfaceRequest(FourCC("IPWD"), &title_, &phases_);
        HostInterfaceRequest(FourCC("SPRP"), &title_, &size_);
    }
    ImportProgress(const ImportProgress&) = delete;
    ImportProgress& operator=(const ImportProgress&) = delete;
    ~ImportProgress() { HostInterfaceRequest(FourCC("CPWD"), nullptr, nullptr); }

    // Shows how far the file was read; true when the user cancelled.
    bool CancelledAt(std::int32_t position)
    {
        HostInterfaceRequest(FourCC("SPRV"), &position, nullptr);
        bool cancelled = false;
        HostInterfaceRequest(FourCC("CANC"), &cancelled, nullptr);
        return cancelled;
    }

private:
    GS::UniString title_;
    std::int32_t size_;
    std::int16_t phases_ = 1;
};

// A line counts when it holds more than blanks and tabs. The zero bytes a UTF-16BE
// text leaves in a line read byte by byte count as nothing: the buffer is cleared
// before each line, so the whole of it can be looked at.
bool HoldsAnything(const std::array<char, LineCapacity + 2>& line)
{
    return std::any_of(line.begin(), line.end(), [](char c) { return c != '\0' && c != ' ' && c != '\t'; });
}

// What became of the file's lines that hold anything.
struct LineCounts
{
    std::int64_t taken = 0;
    std::int64_t skipped = 0;
    bool cancelled = false;
};

void ReplaceAll(std::u16string& text, const std::u16string& what, const std::u16string& with)
{
    for (std::size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// How many lines were taken and how many skipped.
void TellLineCounts(const LineCounts& counts)
{
    const GSResModule module = CurrentResourceModule();
    std::u16string text = RS::GetIndString(AlertStringListId, LinesTakenText, module).Units();
    ReplaceAll(text, u"[TAKEN]", GS::UniString(std::to_string(counts.taken)).Units());
    ReplaceAll(text, u"[SKIPPED]", GS::UniString(std::to_string(counts.skipped)).Units());
    DG::AlertRecord alert;
    alert.type = AlertWarning;
    alert.title = RS::GetIndString(AlertStringListId, WarningTitle, module);
    alert.text1 = GS::UniString(text);
    alert.button1 = RS::GetIndString(AlertStringListId, OkButton, module);
    DG::Alert(alert);
}

// A marker at the point, its elevation above the record's storey; false when the host refused it.
bool PlaceMarker(Survanto& survanto, const API_Element& marker, API_ElementMemo& memo, const API_Coord3D& point, double level,
                 TypVektor<API_Guid>& created)
{
    API_Element placed = marker;
    placed.header.guid = APINULLGuid;
    placed.object.position = {point.x, point.y};
    placed.object.elevation = point.z - level;
    placed.object.angle = 0.0;
    if (HostCreateElement(&placed, &memo) != NoError) return false;
    created.Add(placed.header.guid);
    HostAttachElementObserver(&placed.header, 0);
    survanto.lastMeasuredPointMarker = placed.header.guid;
    return true;
}

// One marker per point line, until the file ends or the user cancels; the markers
// placed until then stay, as one undo step.
void PlaceMarkers(Survanto& survanto, CDataRecorder& recorder, const API_Element& marker, API_ElementMemo& memo,
                  TypVektor<API_Guid>& created, LineCounts& counts)
{
    ImportProgress progress(DialogText(ImportTitle), recorder.GetSize());
    survanto.RunCreationCommand([&survanto, &recorder, &marker, &memo, &created, &counts, &progress] {
        const double level = GetStoryLevel(marker.header.floorInd);
        std::array<char, LineCapacity + 2> line {};
        int state = CDataRecorder::LineMoreFollows;
        std::int64_t lines = 0;
        while (state != CDataRecorder::LineLast)
        {
            line.fill('\0');
            state = recorder.ReadLine(line.data(), LineCapacity);
            if (!HoldsAnything(line)) continue;
            if (++lines % LinesPerProgressStep == 0 && progress.CancelledAt(recorder.GetPosition()))
            {
                counts.cancelled = true;
                return;
            }
            API_Coord3D point;
            const bool placed =
                PointListLine::Read(line.data(), point) && PlaceMarker(survanto, marker, memo, point, level, created);
            ++(placed ? counts.taken : counts.skipped);
        }
    });
}

}  // namespace

void Survanto::ImportPointList()
{
    std::int32_t slot = FreeAreaLayerSlot;
    if (!CheckToolLayer(nullptr, nullptr, &slot))
    {
        pointStep = 0;
        return;
    }
    IO::Location chosen;
    if (!ChoosePointListToImport(chosen)) return;
    const FloorPlanDatabaseScope floorPlan;
    MarkerPart part;
    if (!part.Find(MarkerPart::MeasuredPoint)) return;
    API_Element marker;
    ScopedElementMemo memo;
    if (part.MakeObject(marker, *memo) != NoError) return;
    marker.header.layer = freeAreaLayer;
    MarkerPart::SetMeasuredPointLook(marker, *memo, freeAreaPen);

    CDataRecorder recorder(CDataRecorder::EncodingUtf8);
    recorder.SetMode(CDataRecorder::ModeHostFileText);
    recorder.SetPath(chosen.ToPath().c_str());
    if (recorder.OpenRead() != 0) return;
    TypVektor<API_Guid> created;
    LineCounts counts;
    PlaceMarkers(*this, recorder, marker, *memo, created, counts);
    recorder.Close();
    memo.Dispose();
    if (created.GetSize() > 0) SelectAndZoomObjects(created, true);
    if (!counts.cancelled && (counts.skipped > 0 || counts.taken == 0)) TellLineCounts(counts);
}

void Survanto::ExportPointList()
{
    const std::vector<API_Coord3D> points = MeasuredPointsToExport();
    if (points.empty())
    {
        ShowAlert(AlertError, AlertStringListId, ErrorTitle, NothingToExportText, NoAlertText, OkButton, NoAlertText, NoAlertText,
                  CurrentResourceModule(), AlertStringType);
        return;
    }
    DGTypePopupItem pointList;
    pointList.text = DialogText(FileTypeText);
    pointList.extensions = "xyz";
    pointList.fileType = FourCC("TEXT");
    short selectedType = 1;
    IO::Location chosen;
    if (!DGGetSaveFile(&chosen, 1, &pointList, &selectedType, nullptr, DialogText(ExportTitle))) return;
    WritePointList(chosen, points);
}
