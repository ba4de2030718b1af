#pragma once
#include <cstdint>

#include "GS/Guid.hpp"
#include "framework/TypVektor.hpp"
#include "persistence/QuintairDataUserData.hpp"

class CDataRecorder;
class Survanto;
struct MeasuringState;

// The per-user measuring records of the project, one per user GUID. Reading
// the list changes nothing but the list.
class QuintairData : public TypVektor<QuintairDataUserData>
{
public:
    // The record of the user who works in the project (the null GUID in a solo
    // project); a user without one gets a record captured from the live state.
    // A changed login name is taken over. The reference stays valid while the
    // list grows; std::bad_alloc when a new record cannot be appended.
    QuintairDataUserData& GetCurrentUserData(const MeasuringState& state, const Survanto& main);
    // The first record of that user, or null.
    QuintairDataUserData* FindUser(const GS::Guid& user);

    // The record count, then each record's stream.
    bool Write(CDataRecorder& recorder);
    // Reads what Write wrote into a list of its own records, each read with the
    // given stream version. A damaged count leaves the list as it was; a record
    // whose stream breaks off ends the reading and is kept with what was read
    // when it got as far as its user. False when the stream was damaged;
    // `listRead` tells whether the list was replaced, whole or in part.
    bool Read(CDataRecorder& recorder, std::int32_t streamVersion);
    bool Read(CDataRecorder& recorder, std::int32_t streamVersion, bool& listRead);
};
