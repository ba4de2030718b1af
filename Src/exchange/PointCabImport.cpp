#include "exchange/PointCabImport.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <locale>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "AngleConstants.hpp"
#include "frame/AddOnGlobals.hpp"
#include "DG/DG.hpp"
#include "HostApiHelpers.hpp"
#include "exchange/ExchangeDocument.hpp"
#include "exchange/PointCabWatcher.hpp"
#include "measuring/InstrumentEvents.hpp"
#include "measuring/MeasuringState.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"

ExchangeFileStamp lastExchangeFileStamp;
TypVektor<GS::UniString> takenPointIds;
std::int32_t takenPointCount = 0;

namespace {

constexpr double FullTurn = TwoPi;
// A check looks again when the file changed while it imported, this often at most;
// a writer that keeps writing is served by its next notification.
constexpr int MaxLooksPerCheck = 4;

constexpr std::int32_t TitleError = AlertErrorTitle;
constexpr std::int32_t TextPointCabVersion = 73;
constexpr std::int32_t TextCannotReceive = 81;
constexpr std::int32_t TextCheckAccess = 82;
constexpr std::int32_t ButtonOk = AlertOkButton;

class ImportBusyGuard {
public:
    ImportBusyGuard() { measuringState.importBusy = 1; }
    ~ImportBusyGuard() { measuringState.importBusy = 0; }
    ImportBusyGuard(const ImportBusyGuard&) = delete;
    ImportBusyGuard& operator=(const ImportBusyGuard&) = delete;
};

ExchangeFileStamp StampOf(const struct stat& status)
{
    ExchangeFileStamp stamp;
    stamp.time = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.inode = static_cast<std::uint64_t>(status.st_ino);
    stamp.size = static_cast<std::int64_t>(status.st_size);
    return stamp;
}

// The exchange file is a regular file of its folder: a link is not followed, and
// nothing else (a folder, a pipe, a device) is read.
bool IsPlainFile(const struct stat& status) { return S_ISREG(status.st_mode); }

// The stamp of a file the add-on may read and write; nothing when it may not. The
// file is not opened: closing a file opened for writing would wake the watcher.
std::optional<ExchangeFileStamp> CurrentStamp(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !IsPlainFile(status) || ::access(path.c_str(), R_OK | W_OK) != 0)
        return std::nullopt;
    return StampOf(status);
}

// Memory for a whole file's bytes in large pages where the system gives them: a
// file of a hundred megabytes is read in without a page fault for every few kilobytes.
class FileBuffer {
public:
    explicit FileBuffer(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1))
    {
        void* memory = ::mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) return;
        ::madvise(memory, capacity_, MADV_HUGEPAGE);
        memory_ = static_cast<char*>(memory);
    }
    FileBuffer(FileBuffer&& other) noexcept
        : memory_(std::exchange(other.memory_, nullptr)), capacity_(other.capacity_), size_(other.size_)
    {
    }
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    FileBuffer& operator=(FileBuffer&&) = delete;
    ~FileBuffer()
    {
        if (memory_ != nullptr) ::munmap(memory_, capacity_);
    }

    bool Usable() const { return memory_ != nullptr; }
    char* Free() { return memory_ + size_; }
    std::size_t FreeSize() const { return capacity_ - size_; }
    void Grow(std::size_t bytes) { size_ += bytes; }
    std::string_view Bytes() const { return {memory_, size_}; }

private:
    char* memory_ = nullptr;
    std::size_t capacity_;
    std::size_t size_ = 0;
};

struct FileSnapshot {
    FileBuffer bytes;
    struct stat status {};
};

// The whole file into the buffer; false when it cannot be read or holds more than its size told.
bool ReadWhole(int fd, FileBuffer& buffer)
{
    while (buffer.FreeSize() > 0) {
        const ssize_t got = ::read(fd, buffer.Free(), buffer.FreeSize());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        buffer.Grow(static_cast<std::size_t>(got));
    }
    return false;
}

// Opened without following a link and without waiting: a pipe put in the file's
// place must not block the host's user-interface thread. A file that grows while
// it is read is left for the check its writer's next change brings.
std::optional<FileSnapshot> ReadExchangeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    std::optional<FileSnapshot> snapshot;
    if (::fstat(fd, &status) == 0 && IsPlainFile(status) && ::access(path.c_str(), R_OK | W_OK) == 0) {
        // One byte more than the file has, to see that it ends where its size said.
        FileBuffer bytes(static_cast<std::size_t>(status.st_size) + 1);
        if (bytes.Usable() && ReadWhole(fd, bytes)) snapshot.emplace(FileSnapshot {std::move(bytes), status});
    }
    ::close(fd);
    return snapshot;
}

bool Unchanged(const std::string& path, const struct stat& before)
{
    struct stat now {};
    return ::lstat(path.c_str(), &now) == 0 && now.st_dev == before.st_dev && StampOf(now) == StampOf(before);
}

bool WriteAll(int fd, const char* data, std::size_t left)
{
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

enum class WriteBack { Written, FileChanged, FolderUnwritable };

struct WriteBackResult {
    WriteBack outcome = WriteBack::FolderUnwritable;
    ExchangeFileStamp stamp;
};

// The rename reaches the disk only with its folder; without it a power cut could
// bring back the annotations already taken, and they would be taken again.
void SyncFolderOf(const std::string& path)
{
    IO::Location folderLocation(path);
    folderLocation.DeleteLastLocalName();
    const int folder = ::open(folderLocation.ToPath().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    ::fsync(folder);
    ::close(folder);
}

// The bytes read without the taken annotation's, the rest copied as it is.
bool WriteAllBut(int fd, std::string_view bytes, const AnnotationBytes& taken)
{
    return WriteAll(fd, bytes.data(), taken.begin) && WriteAll(fd, bytes.data() + taken.end, bytes.size() - taken.end);
}

// Writes the new content beside the file and puts it in the file's place only
// when it is complete and the file is still the one that was read; the exchange
// file is never truncated. Gives the new file's stamp when it was written.
WriteBackResult ReplaceExchangeFile(const std::string& path, const FileSnapshot& read, const AnnotationBytes& taken)
{
    IO::Location aside(path);
    aside.SetLastLocalName("." + IO::Location(path).GetLastLocalName() + ".XXXXXX");
    std::string name = aside.ToPath();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    struct stat written {};
    const bool complete = WriteAllBut(fd, read.bytes.Bytes(), taken) && ::fchmod(fd, read.status.st_mode & 07777) == 0 &&
                          ::fsync(fd) == 0 && ::fstat(fd, &written) == 0;
    const bool closed = ::close(fd) == 0;
    WriteBackResult result;
    if (complete && closed && !Unchanged(path, read.status)) result.outcome = WriteBack::FileChanged;
    else if (complete && closed && ::rename(name.c_str(), path.c_str()) == 0) {
        SyncFolderOf(path);
        return {WriteBack::Written, StampOf(written)};
    }
    ::unlink(name.c_str());
    return result;
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
struct PlacedPoint {
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
    for (const ExchangePoint& candidate : annotation.points) {
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
    for (const ExchangePoint& candidate : annotation.points) {
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
    const std::optional<FileSnapshot> read = ReadExchangeFile(path);
    if (!read) return std::nullopt;

    ExchangeAnnotation annotation;
    AnnotationBytes taken;
    if (!FindFirstAnnotation(read->bytes.Bytes(), annotation, taken)) return StampOf(read->status);
    const API_Coord offset = GetLocationOffset();
    if (!AllPlaceable(annotation, offset)) return StampOf(read->status);
    const WriteBackResult written = ReplaceExchangeFile(path, *read, taken);
    // Not written back: the annotation stays in the file, nothing is taken. A folder
    // the add-on cannot write is tried again at the next check, whatever changed.
    if (written.outcome == WriteBack::FolderUnwritable) {
        TellUnwritableFolderOnce(PointCabWatchFolder(path));
        return std::nullopt;
    }
    if (written.outcome == WriteBack::FileChanged) return StampOf(read->status);
    unwritableFoldersTold.erase(PointCabWatchFolder(path));

    TakePoints(annotation, offset);
    if (annotation.pointSeen && !annotation.originSeen)
        ShowAlert(AlertError, AlertStringListId, TitleError, TextPointCabVersion, NoAlertText, ButtonOk, NoAlertText,
                  NoAlertText, CurrentResourceModule(), AlertStringType);
    return written.stamp;
}

void PollPointCabFile()
{
    Survanto* survanto = theSurvanto.load();
    if (survanto == nullptr || measuringState.importBusy != 0) return;
    const std::string path = survanto->exchangeFile.ToUtf8();
    for (int look = 0; look < MaxLooksPerCheck; ++look) {
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
