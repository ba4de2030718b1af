#pragma once
#include <array>
#include <cstdint>

#include "API/Types.hpp"
#include "GS/Guid.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "framework/IFileIO.hpp"
#include "persistence/StationReference.hpp"

class CDataRecorder;
class Survanto;
struct MeasuringState;

// One surveyor's measuring state, kept per user with the project: last point,
// station, station markers, layer and pen choices, photo folder. It is plain
// data: reading it changes nothing else; ApplyTo puts it into the live state
// and CaptureFrom takes it from there, each only when the caller says so.
class QuintairDataUserData final : public IFileIO
{
public:
    static constexpr std::int32_t KindCount = 11;
    // The least a stream of any version holds: a reader bounds its record count by it.
    static constexpr std::int64_t MinimumStreamBytes = 138;

    QuintairDataUserData() = default;
    QuintairDataUserData(const QuintairDataUserData& other) = default;
    QuintairDataUserData& operator=(const QuintairDataUserData& other) = default;
    ~QuintairDataUserData() = default;

    // The stream of the newest version; always every field.
    bool Write(CDataRecorder& recorder) override;
    // Reads the stream of the given version (that of the stream holding the
    // list): fields an older version lacks keep their values. False when the
    // stream ended or was damaged; the fields behind that keep their values too.
    bool Read(CDataRecorder& recorder, std::int32_t streamVersion);
    // The same; `userRead` tells whether the record got as far as its user,
    // which makes a record cut short behind it worth keeping.
    bool Read(CDataRecorder& recorder, std::int32_t streamVersion, bool& userRead);

    // The mirrored fields from the measuring state, the main object's station
    // ids, markers, per-kind layers and pens, station records and reference
    // element, and the photo folder palette's folder and view; and back again.
    void CaptureFrom(const MeasuringState& state, const Survanto& main);
    void ApplyTo(MeasuringState& state, Survanto& main) const;

    double measuredX = 0.0;
    double measuredY = 0.0;
    double measuredZ = 0.0;
    double stationX = 0.0;
    double stationY = 0.0;
    double stationZ = 0.0;
    double stationAngle = 0.0;
    double reservedValue1 = 0.0;
    double reservedValue2 = 0.0;
    double reservedValue3 = 0.0;
    double reservedValue4 = 0.0;
    GS::UniString stationId;
    GS::UniString activeStationId {"0"};
    std::int16_t measuredPointLayer = 1;
    std::int16_t stationLayer = 1;
    std::int16_t freeAreaLayer = 1;
    std::int16_t stationPointLayer = 1;
    std::int16_t measuredPointPen = 36;
    std::int16_t stationPen = 89;
    std::int16_t freeAreaPen = 1;
    std::int16_t stationPointPen = 11;
    // Per element kind of the settings dialog, entries 1 to 10; entry 0 unused.
    std::array<std::int16_t, KindCount> perTypeLayers {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::array<std::int16_t, KindCount> perTypePens {0, 36, 36, 36, 36, 36, 36, 36, 36, 36, 36};
    double referenceHeight = 0.0;
    std::int16_t alignmentPending = 0;
    std::int16_t referenceHeightPending = 1;
    GS::Guid user;
    GS::UniString userName;
    std::int16_t reservedShort = 0;
    bool automaticPictures = false;
    IO::Location photoFolder;
    bool thumbnailView = false;
    GS::UniString exchangeFile {"C:\\temp\\vezadovi4vuz.lse"};
    std::int32_t reservedLong = 0;
    std::int16_t stationMode = 2;
    StationReference firstStation;
    StationReference secondStation;
    API_Guid stationReferenceElement {};

private:
    // Reading needs the stream version: the interface's own Read is not for callers.
    using IFileIO::Read;
};
