#include "persistence/QuintairDataUserData.hpp"

#include "frame/Survanto.hpp"
#include "framework/CDataRecorder.hpp"
#include "measuring/MeasuringState.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"

namespace
{

// Stream versions that brought fields.
constexpr std::int32_t PhotoFolderVersion = 2;
constexpr std::int32_t ExchangeFileVersion = 3;
constexpr std::int32_t StationRecordsVersion = 10;
constexpr std::int32_t PerKindVersion = 11;

// Since the station records came, a read record is always in station mode 2.
constexpr std::int16_t StationModeAfterRead = 2;

}  // namespace

bool QuintairDataUserData::Write(CDataRecorder& recorder)
{
    StreamWriter writer(recorder);
    for (const double value : {measuredX, measuredY, measuredZ, stationX, stationY, stationZ, stationAngle, reservedValue1,
                               reservedValue2, reservedValue3, reservedValue4})
        writer.Write(value);
    writer.Write(reservedLong);
    writer.Write(stationId);
    writer.Write(activeStationId);
    for (const std::int16_t value : {measuredPointLayer, stationLayer, freeAreaLayer, measuredPointPen, stationPen, freeAreaPen,
                                     stationPointPen, stationPointLayer})
        writer.Write(value);
    writer.Write(referenceHeight);
    writer.WriteGuidText(user);
    writer.Write(userName);
    writer.Write(reservedShort);
    writer.Write(alignmentPending);
    writer.Write(referenceHeightPending);
    writer.Write(stationMode);
    writer.Write(stationReferenceElement);
    writer.WriteRecord([this](CDataRecorder& r) { return firstStation.Write(r); });
    writer.WriteRecord([this](CDataRecorder& r) { return secondStation.Write(r); });
    for (std::size_t kind = 0; kind < KindCount; ++kind)
    {
        writer.Write(perTypePens[kind]);
        writer.Write(perTypeLayers[kind]);
    }
    writer.Write(automaticPictures);
    writer.WritePath(photoFolder);
    writer.Write(thumbnailView);
    writer.Write(exchangeFile);
    return writer.IsWhole();
}

bool QuintairDataUserData::Read(CDataRecorder& recorder, std::int32_t streamVersion)
{
    bool userRead = false;
    return Read(recorder, streamVersion, userRead);
}

bool QuintairDataUserData::Read(CDataRecorder& recorder, std::int32_t streamVersion, bool& userRead)
{
    StreamReader reader(recorder);
    for (double* value : {&measuredX, &measuredY, &measuredZ, &stationX, &stationY, &stationZ, &stationAngle, &reservedValue1,
                          &reservedValue2, &reservedValue3, &reservedValue4})
        reader.Read(*value);
    reader.Read(reservedLong);
    reader.Read(stationId);
    reader.Read(activeStationId);
    for (std::int16_t* value : {&measuredPointLayer, &stationLayer, &freeAreaLayer, &measuredPointPen, &stationPen, &freeAreaPen,
                                &stationPointPen, &stationPointLayer})
        reader.Read(*value);
    reader.Read(referenceHeight);
    userRead = reader.ReadGuidText(user);
    reader.Read(userName);
    reader.Read(reservedShort);
    reader.Read(alignmentPending);
    reader.Read(referenceHeightPending);
    if (streamVersion >= StationRecordsVersion)
    {
        reader.Read(stationMode);
        reader.Read(stationReferenceElement);
        reader.ReadRecord([this](CDataRecorder& r) { return firstStation.Read(r); });
        reader.ReadRecord([this](CDataRecorder& r) { return secondStation.Read(r); });
        if (reader.IsWhole()) stationMode = StationModeAfterRead;
    }
    if (streamVersion >= PerKindVersion)
    {
        for (std::size_t kind = 0; kind < KindCount; ++kind)
        {
            reader.Read(perTypePens[kind]);
            reader.Read(perTypeLayers[kind]);
        }
    }
    if (streamVersion >= PhotoFolderVersion)
    {
        reader.Read(automaticPictures);
        reader.ReadPath(photoFolder);
        reader.Read(thumbnailView);
    }
    if (streamVersion >= ExchangeFileVersion) reader.Read(exchangeFile);
    return reader.IsWhole();
}

void QuintairDataUserData::CaptureFrom(const MeasuringState& state, const Survanto& main)
{
    measuredX = state.measuredX;
    measuredY = state.measuredY;
    measuredZ = state.measuredZ;
    stationX = state.stationX;
    stationY = state.stationY;
    stationZ = state.stationZ;
    stationAngle = state.stationAngle;
    reservedValue1 = state.reservedValue1;
    reservedValue2 = state.reservedValue2;
    reservedValue3 = state.reservedValue3;
    reservedValue4 = state.reservedValue4;
    referenceHeight = state.referenceHeight;
    alignmentPending = state.alignmentPending;
    referenceHeightPending = state.referenceHeightPending;
    stationMode = state.stationMode;
    stationId = main.stationId;
    activeStationId = main.activeStationId;
    measuredPointLayer = main.measuredPointLayer;
    stationLayer = main.stationLayer;
    freeAreaLayer = main.freeAreaLayer;
    stationPointLayer = main.stationPointLayer;
    measuredPointPen = main.measuredPointPen;
    stationPen = main.stationPen;
    freeAreaPen = main.freeAreaPen;
    stationPointPen = main.stationPointPen;
    perTypeLayers = main.perTypeLayers;
    perTypePens = main.perTypePens;
    stationReferenceElement = main.stationReferenceElement;
    firstStation = main.firstStation;
    secondStation = main.secondStation;
    photoFolder = main.photoFolderDialog.photoFolder;
    thumbnailView = main.photoFolderDialog.largeThumbnails;
}

void QuintairDataUserData::ApplyTo(MeasuringState& state, Survanto& main) const
{
    state.measuredX = measuredX;
    state.measuredY = measuredY;
    state.measuredZ = measuredZ;
    state.stationX = stationX;
    state.stationY = stationY;
    state.stationZ = stationZ;
    state.stationAngle = stationAngle;
    state.reservedValue1 = reservedValue1;
    state.reservedValue2 = reservedValue2;
    state.reservedValue3 = reservedValue3;
    state.reservedValue4 = reservedValue4;
    state.referenceHeight = referenceHeight;
    state.alignmentPending = alignmentPending;
    state.referenceHeightPending = referenceHeightPending;
    state.stationMode = stationMode;
    main.stationId = stationId;
    main.activeStationId = activeStationId;
    main.measuredPointLayer = measuredPointLayer;
    main.stationLayer = stationLayer;
    main.freeAreaLayer = freeAreaLayer;
    main.stationPointLayer = stationPointLayer;
    main.measuredPointPen = measuredPointPen;
    main.stationPen = stationPen;
    main.freeAreaPen = freeAreaPen;
    main.stationPointPen = stationPointPen;
    main.perTypeLayers = perTypeLayers;
    main.perTypePens = perTypePens;
    main.stationReferenceElement = stationReferenceElement;
    main.firstStation = firstStation;
    main.secondStation = secondStation;
    main.photoFolderDialog.photoFolder = photoFolder;
    main.photoFolderDialog.largeThumbnails = thumbnailView;
}
