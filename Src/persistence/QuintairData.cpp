#include "persistence/QuintairData.hpp"

#include "framework/CDataRecorder.hpp"
#include "persistence/ProjectUser.hpp"
#include "persistence/StreamReader.hpp"
#include "persistence/StreamWriter.hpp"

QuintairDataUserData& QuintairData::GetCurrentUserData(const MeasuringState& state, const Survanto& main)
{
    const ProjectUser current = ProjectUser::Current();
    QuintairDataUserData* record = FindUser(current.guid);
    if (record == nullptr)
    {
        QuintairDataUserData added;
        added.CaptureFrom(state, main);
        added.user = current.guid;
        added.userName = current.name;
        Push(added);
        record = &(*this)[GetSize() - 1];
    }
    if (!current.name.IsEmpty()) record->userName = current.name;
    return *record;
}

QuintairDataUserData* QuintairData::FindUser(const GS::Guid& user)
{
    for (QuintairDataUserData& record : *this)
        if (record.user == user) return &record;
    return nullptr;
}

bool QuintairData::Write(CDataRecorder& recorder)
{
    StreamWriter writer(recorder);
    writer.Write(static_cast<std::int32_t>(GetSize()));
    for (QuintairDataUserData& record : *this) writer.WriteRecord([&record](CDataRecorder& r) { return record.Write(r); });
    return writer.IsWhole();
}

bool QuintairData::Read(CDataRecorder& recorder, std::int32_t streamVersion)
{
    bool listRead = false;
    return Read(recorder, streamVersion, listRead);
}

bool QuintairData::Read(CDataRecorder& recorder, std::int32_t streamVersion, bool& listRead)
{
    StreamReader reader(recorder);
    std::int32_t count = 0;
    if (!reader.ReadCount(count, QuintairDataUserData::MinimumStreamBytes)) return false;
    Clear();
    listRead = true;
    for (std::int32_t i = 0; i < count && reader.IsWhole(); ++i)
    {
        QuintairDataUserData record;
        bool userRead = false;
        if (!record.Read(recorder, streamVersion, userRead)) reader.Stop();
        if (userRead && !Add(record)) reader.Stop();
    }
    return reader.IsWhole();
}
