// XYZ point lists: every measured-point marker written out as a line of three
// numbers, and a marker placed for every point line of such a file.
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "CDataRecorder.hpp"
#include "DG/DG.hpp"
#include "DG/FileDialog.hpp"
#include "FTM/FileTypeManager.hpp"
#include "FloorPlanDatabaseScope.hpp"
#include "HostApiHelpers.hpp"
#include "RS/ResourceModule.hpp"
#include "ScopedElementMemo.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/PointListLine.hpp"

namespace {

constexpr std::int16_t DialogStrings = 32580;
constexpr std::int16_t ImportTitle = 5;
constexpr std::int16_t FileTypeText = 6;
constexpr std::int16_t ExportTitle = 7;
constexpr std::int32_t ErrorTitle = 3;
constexpr std::int32_t NothingToExportText = 80;
constexpr std::int32_t OkButton = 1;
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
    for (const API_Guid& guid : MarkerPart::PlacedMarkers({MarkerPart::MeasuredPoint})) {
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
    for (const API_Coord3D& point : points) {
        const std::string line = PointListLine::Format(point);
        written = written && recorder.WriteBytes(line.data(), line.size());
    }
    return recorder.Close() == 0 && written;
}

}  // namespace

void Survanto::ImportPointList()
{
    std::int32_t slot = FreeAreaLayerSlot;
    if (!CheckToolLayer(nullptr, nullptr, &slot)) {
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
    RunCreationCommand([this, &recorder, &marker, &memo, &created] {
        const double level = GetStoryLevel(marker.header.floorInd);
        char line[LineCapacity + 2] {};
        int state = CDataRecorder::LineMoreFollows;
        while (state != CDataRecorder::LineLast) {
            state = recorder.ReadLine(line, LineCapacity);
            API_Coord3D point;
            if (!PointListLine::Read(line, point)) continue;
            API_Element placed = marker;
            placed.header.guid = APINULLGuid;
            placed.object.position = {point.x, point.y};
            placed.object.elevation = point.z - level;
            placed.object.angle = 0.0;
            if (HostCreateElement(&placed, &*memo) != NoError) continue;
            created.Add(placed.header.guid);
            HostAttachElementObserver(&placed.header, 0);
            lastMeasuredPointMarker = placed.header.guid;
        }
    });
    recorder.Close();
    memo.Dispose();
    if (created.GetSize() > 0) SelectAndZoomObjects(created, true);
}

void Survanto::ExportPointList()
{
    const std::vector<API_Coord3D> points = MeasuredPointsToExport();
    if (points.empty()) {
        ShowAlert(AlertError, AlertStringListId, ErrorTitle, NothingToExportText, NoAlertText, OkButton, NoAlertText,
                  NoAlertText, CurrentResourceModule(), AlertStringType);
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
