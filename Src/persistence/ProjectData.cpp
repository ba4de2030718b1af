#include "persistence/ProjectData.hpp"

#include "frame/Survanto.hpp"
#include "framework/CDataRecorder.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"

ProjectData::ProjectData() : importColumnWidths(Survanto::DefaultImportColumnWidths), language(Survanto::LanguageOfHost()) {}

bool ProjectData::Write(CDataRecorder& recorder)
{
    StreamWriter writer(recorder);
    StreamOverMembers().Write(writer);
    return writer.IsWhole();
}

bool ProjectData::Read(CDataRecorder& recorder)
{
    StreamReader reader(recorder);
    if (!reader.Read(streamVersion)) return false;
    ProjectStream stream = StreamOverMembers();
    QuintairDataUserData dropped;
    stream.ReadUsers(reader, streamVersion, dropped);
    stream.ReadRest(reader, streamVersion);
    return reader.IsWhole();
}

ProjectStream ProjectData::StreamOverMembers()
{
    return ProjectStream({elementCreated, userData, sectionPalette, firstStation, secondStation, markerIdsShown,
                          manualCalibration, sounds, importData, importColumnWidths, language});
}
