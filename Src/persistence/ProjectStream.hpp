#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "persistence/StoredPart.hpp"

class QuintairData;
class QuintairDataUserData;
class SectionPalette;
class StationReference;
class StreamReader;
class StreamWriter;
class VaroImportData;

// The main object's project data in stream order, over fields that live
// elsewhere: in the main object, or in the data-only copy a teamwork merge
// works on. Reading changes nothing but these fields.
class ProjectStream
{
public:
    static constexpr std::int32_t CurrentVersion = 24;
    // From this version on the stream holds the per-user records; before it, the
    // values of one surveyor directly.
    static constexpr std::int32_t UserListVersion = 8;

    struct Fields
    {
        bool& elementCreated;
        QuintairData& userData;
        SectionPalette& sectionPalette;  // its cross-section profiles
        StationReference& firstStation;
        StationReference& secondStation;
        bool& markerIdsShown;
        bool& manualCalibration;
        bool& sounds;
        VaroImportData& importData;
        std::array<std::int16_t, 7>& importColumnWidths;
        std::int32_t language;  // written; a stored one is not taken
    };

    explicit ProjectStream(const Fields& fields) : fields_(fields) {}

    // The version, then every field of the current version.
    void Write(StreamWriter& writer);

    // What follows the version up to the per-user records: the element-created
    // flag, then the user list, or in a stream older than the list the old
    // values into `oldValues`, which the caller decides what to do with. True
    // when the user list was read from this stream, whole or in part.
    bool ReadUsers(StreamReader& reader, std::int32_t version, QuintairDataUserData& oldValues);
    // Everything behind the per-user records.
    void ReadRest(StreamReader& reader, std::int32_t version);
    // The part in which the reading stopped, if it did.
    std::optional<StoredPart> FirstUnreadPart() const { return firstUnread_; }

private:
    static void WriteStation(StreamWriter& writer, const StationReference& station);
    static void ReadStation(StreamReader& reader, std::int32_t version, StationReference& station);
    static void ReadOldValues(StreamReader& reader, std::int32_t version, QuintairDataUserData& values);

    void NoteStop(const StreamReader& reader, StoredPart part);

    Fields fields_;
    std::optional<StoredPart> firstUnread_;
};
