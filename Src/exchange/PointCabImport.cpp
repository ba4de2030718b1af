#include "exchange/PointCabImport.hpp"

#include <cmath>
#include <locale>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "IO/AsideFile.hpp"
#include "IO/FileStatus.hpp"
#include "IO/RegularFileReader.hpp"
#include "RS/ResourceModule.hpp"
#include "exchange/ExchangeDocument.hpp"
#include "exchange/PointCabWatcher.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/InstrumentEvents.hpp"
#include "measuring/MeasuringState.hpp"

ExchangeFileStamp lastExchangeFileStamp;
TypVektor<GS::UniString> takenPointIds;
std::int32_t takenPointCount = 0;

namespace
{

constexpr double FullTurn = TwoPi;
// A check looks again when the file changed while it imported, this often at most;
// a writer that keeps writing is served by its next notification.
constexpr int MaxLooksPerCheck = 4;

constexpr std::int32_t TitleError = AlertErrorTitle;
constexpr std::int32_t TextPointCabVersion = 73;
constexpr std::int32_t TextCannotReceive = 81;
constexpr std::int32_t TextCheckAccess = 82;
constexpr std::int32_t ButtonOk = AlertOkButton;

class ImportBusyGuard
{
public:
    ImportBusyGuard() { measuringState.importBusy = 1; }
    ~ImportBusyGuard() { measuringState.importBusy = 0; }
    ImportBusyGuard(const ImportBusyGuard&) = delete;
    ImportBusyGuard& operator=(const ImportBusyGuard&) = delete;
};

ExchangeFileStamp StampOf(const IO::FileStatus& status)
{
    ExchangeFileStamp stamp;
    stamp.time = status.modified;
    stamp.inode = status.inode;
    stamp.size = status.size;
    return stamp;
}

// The stamp of a file the add-on may read and write; nothing when it may not. The
// file is not opened: closing a file opened for writing would wake the watcher.
// The exchange file is a regular file of its folder: a link is not followed, and
// nothing else (a folder, a pipe, a device) is read.
std::optional<ExchangeFileStamp> CurrentStamp(const std::string& path)
{
    const std::optional<IO::FileStatus> status = IO::StatusAt(path);
    if (!status || !status->regular || !IO::MayReadAndWrite(path)) return std::nullopt;
    return StampOf(*status);
}

bool SameContent(const IO::FileStatus& a, const IO::FileStatus& b) { return a.device == b.device && StampOf(a) == StampOf(b); }

bool Unchanged(const std::string& path, const IO::FileStatus& before)
{
    const std::optional<IO::FileStatus> now = IO::StatusAt(path);
    return now && SameContent(*now, before);
}

// The exchange file read once, its kept bytes written beside it as they pass: the
// file is never held whole. The new content replaces the file only when it is
// complete and the file is still the one that was read; the file is never truncated.
class ExchangeFileCopy : public ExchangeBytes
{
public:
    ExchangeFileCopy(const std::string& path, IO::RegularFileReader& reader)
        : path_(path), opened_(reader), reader_(&reader),
          aside_(std::make_unique<IO::AsideFile>(path, reader.Status().permissions))
    {}

    std::optional<std::size_t> Read(char* into, std::size_t capacity) override { return reader_->Read(into, capacity); }
    // A folder that refused the new file shows when it is finished, after the
    // reading: a file that does not parse is left without a word.
    void Keep(std::string_view bytes) override { aside_->Write(bytes.data(), bytes.size()); }

    // Opens the file again, only while it is the content first opened, and starts a new aside file.
    bool Restart() override
    {
        again_ = std::make_unique<IO::RegularFileReader>(path_);
        if (!again_->IsOpen() || !SameContent(again_->Status(), opened_.Status())) return false;
        reader_ = again_.get();
        aside_.reset();
        aside_ = std::make_unique<IO::AsideFile>(path_, opened_.Status().permissions);
        return true;
    }

    IO::AsideFile& Aside() { return *aside_; }

private:
    std::string path_;
    const IO::RegularFileReader& opened_;
    IO::RegularFileReader* reader_;
    std::unique_ptr<IO::RegularFileReader> again_;
    std::unique_ptr<IO::AsideFile> aside_;
};

enum class WriteBack
{
    Written,
    FileChanged,
    FolderUnwritable
};

struct WriteBackResult
{
    WriteBack outcome = WriteBack::FolderUnwritable;
    ExchangeFileStamp stamp;
};

// The rename reaches the disk with its folder; without it a power cut could bring
// back the annotations already taken, and they would be taken again.
WriteBackResult ReplaceExchangeFile(const std::string& path, const IO::FileStatus& read, IO::AsideFile& aside)
{
    const std::optional<IO::FileStatus> written = aside.Finish();
    if (!written) return {};
    if (!Unchanged(path, read)) return {WriteBack::FileChanged, {}};
    if (!aside.PutInPlace()) return {};
    return {WriteBack::Written, StampOf(*written)};
}

// At least `needed` numbers from the start of the text; the rest of four are read when present.
bool ReadNumbers(const std::string& text, std::size_t needed, double (&numbers)[4])
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    std::size_t count = 0;
    while (count < 4 && in >> numbers[count]) ++count;
    return count >= needed;
}

// False when the id is among the last ones taken; otherwise it takes the next place of the ring.
bool TakePointId(const GS::UniString& id)
{
    const auto position = static_cast<std::uint32_t>(takenPointCount % TakenPointRingSize);
    if (takenPointIds.GetSize() < position + 1) takenPointIds.Add(GS::UniString());
    for (std::uint32_t i = 0; i < takenPointIds.GetSize(); ++i)
        if (takenPointIds[i] == id) return false;
    takenPointIds[position] = id;
    ++takenPointCount;
    return true;
}

// What a point of the exchange file becomes in the plan.
struct PlacedPoint
{
    double rawZ = 0, stationX = 0, stationY = 0, x = 0, y = 0, z = 0;
    bool Finite() const
    {
        return std::isfinite(rawZ) && std::isfinite(stationX) && std::isfinite(stationY) && std::isfinite(x) &&
               std::isfinite(y) && std::isfinite(z);
    }
};

// The point and its station arrive in the station frame; the plan turns
// counter-clockwise by the station angle, and the point loses the location offset.
// Nothing when the texts do not hold their numbers.
std::optional<PlacedPoint> Placed(const ExchangePoint& candidate, const API_Coord& offset)
{
    double point[4] = {};
    double origin[4] = {};
    if (!ReadNumbers(candidate.point3d, 3, point) || !ReadNumbers(candidate.origin3d, 2, origin)) return std::nullopt;
    const double a = FullTurn - measuringState.stationAngle;
    const double c = std::cos(a);
    const double s = std::sin(a);
    PlacedPoint placed;
    placed.rawZ = point[2];
    placed.stationX = origin[0] * c + origin[1] * s;
    placed.stationY = origin[1] * c - origin[0] * s;
    placed.x = point[0] * c + point[1] * s - offset.x;
    placed.y = point[1] * c - point[0] * s - offset.y;
    placed.z = point[2] + measuringState.stationZ;
    return placed;
}

bool Complete(const ExchangePoint& candidate) { return !candidate.point3d.empty() && !candidate.origin3d.empty(); }

// A point that would land at an infinite or undefined place makes the whole
// annotation unusable, like a file that does not parse: it stays in the file.
bool AllPlaceable(const ExchangeAnnotation& annotation, const API_Coord& offset)
{
    for (const ExchangePoint& candidate : annotation.points)
    {
        if (!Complete(candidate)) continue;
        const std::optional<PlacedPoint> placed = Placed(candidate, offset);
        if (placed && !placed->Finite()) return false;
    }
    return true;
}

void Apply(const PlacedPoint& placed)
{
    measuringState.rawMeasuredZ = placed.rawZ;
    measuringState.stationX = placed.stationX;
    measuringState.stationY = placed.stationY;
    measuringState.measuredX = placed.x;
    measuringState.measuredY = placed.y;
    measuringState.measuredZ = placed.z;
}

// Each point is placed when its turn comes: the dispatcher of the one before may have moved the station.
void TakePoints(const ExchangeAnnotation& annotation, const API_Coord& offset)
{
    for (const ExchangePoint& candidate : annotation.points)
    {
        if (!Complete(candidate)) continue;
        // A text without its numbers would leave the last point's position in place.
        const std::optional<PlacedPoint> placed = Placed(candidate, offset);
        if (!placed || !placed->Finite()) continue;
        if (!TakePointId(candidate.id)) continue;
        Apply(*placed);
        OnInstrumentEvent(ExchangeFilePointEvent, 0);
    }
}

void ReplaceAll(std::u16string& text, const std::u16string& what, const std::u16string& with)
{
    for (std::size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// PointCab's data cannot arrive at this place: an error alert names it.
void ShowCannotReceiveAlert(const GS::UniString& place)
{
    const GSResModule module = CurrentResourceModule();
    DG::AlertRecord alert;
    alert.type = AlertError;
    alert.title = RS::GetIndString(AlertStringListId, TitleError, module);
    std::u16string text = RS::GetIndString(AlertStringListId, TextCannotReceive, module).Units();
    ReplaceAll(text, u"[FILEPATH]", place.Units());
    alert.text1 = GS::UniString(text);
    alert.text2 = RS::GetIndString(AlertStringListId, TextCheckAccess, module);
    alert.button1 = RS::GetIndString(AlertStringListId, ButtonOk, module);
    DG::Alert(alert);
}

// Folders the user was told the add-on cannot write; a folder is told again only
// after a write there succeeded.
std::set<std::string> unwritableFoldersTold;

void TellUnwritableFolderOnce(const std::string& folder)
{
    if (unwritableFoldersTold.insert(folder).second) ShowCannotReceiveAlert(GS::UniString(folder));
}

}  // namespace

std::optional<ExchangeFileStamp> ImportPointCabFile(Survanto& survanto)
{
    if (measuringState.importBusy != 0) return std::nullopt;
    const ImportBusyGuard busy;
    const std::string path = survanto.exchangeFile.ToUtf8();
    IO::RegularFileReader reader(path);
    if (!reader.IsOpen() || !IO::MayReadAndWrite(path)) return std::nullopt;
    const IO::FileStatus& read = reader.Status();

    ExchangeFileCopy copy(path, reader);
    ExchangeAnnotation annotation;
    AnnotationBytes taken;
    const DocumentReading reading = FindFirstAnnotation(copy, annotation, taken);
    // The file as it was opened is dealt with, whether it grew while it was read or
    // cannot be read to its end: its next change brings the next look. Nothing
    // more, or the aside file's own coming and going would bring a look at once.
    if (reading != DocumentReading::Parsed) return StampOf(read);
    const API_Coord offset = GetLocationOffset();
    if (!AllPlaceable(annotation, offset)) return StampOf(read);
    const WriteBackResult written = ReplaceExchangeFile(path, read, copy.Aside());
    // Not written back: the annotation stays in the file, nothing is taken. A folder
    // the add-on cannot write is tried again at the next check, whatever changed.
    if (written.outcome == WriteBack::FolderUnwritable)
    {
        TellUnwritableFolderOnce(PointCabWatchFolder(path));
        return std::nullopt;
    }
    if (written.outcome == WriteBack::FileChanged) return StampOf(read);
    unwritableFoldersTold.erase(PointCabWatchFolder(path));

    TakePoints(annotation, offset);
    if (annotation.pointSeen && !annotation.originSeen)
        ShowAlert(AlertError, AlertStringListId, TitleError, TextPointCabVersion, NoAlertText, ButtonOk, NoAlertText, NoAlertText,
                  CurrentResourceModule(), AlertStringType);
    return written.stamp;
}

void PollPointCabFile()
{
    Survanto* survanto = theSurvanto.load();
    if (survanto == nullptr || measuringState.importBusy != 0) return;
    const std::string path = survanto->exchangeFile.ToUtf8();
    for (int look = 0; look < MaxLooksPerCheck; ++look)
    {
        const std::optional<ExchangeFileStamp> stamp = CurrentStamp(path);
        if (!stamp || (*stamp == lastExchangeFileStamp && stamp->time != 0)) return;
        const std::optional<ExchangeFileStamp> dealt = ImportPointCabFile(*survanto);
        if (!dealt) return;
        lastExchangeFileStamp = *dealt;
        // Without a time every check imports; once is enough for this one.
        if (stamp->time == 0) return;
    }
}

void ShowPointCabWatchAlert(std::int32_t reason)
{
    Survanto* survanto = theSurvanto.load();
    if (reason != 1 || survanto == nullptr) return;
    ShowCannotReceiveAlert(survanto->exchangeFile);
}
