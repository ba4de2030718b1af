#pragma once
#include <cstdint>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "framework/TypVektor.hpp"

class Survanto;

// Guards what the add-on placed against the user's edits: the active station's
// marker stays where it is, a point cloud and its camera move only together, and
// a point cloud the user places from the library may go to its recorded position
// with its scanner camera. The host brackets its notifications with a begin and
// an end; the observer collects in between and acts at the end. A batch that
// begins while the add-on is changing the project itself is the add-on's own and
// passes untouched.
class ElementObserver
{
public:
    // The main object gives the blocked state and the navigator; null when gone.
    void Notify(const API_NotifyElementType& notification, Survanto* survanto);

private:
    // What one open batch raised the own-change counter by; an own batch raised nothing.
    struct OpenBatch
    {
        bool own = false;
        std::int32_t raised = 0;
    };

    void Begin();
    void End(Survanto* survanto);
    void Collect(const API_NotifyElementType& notification);
    void CollectLinkedEdit(const API_NotifyElementType& notification);
    void GuardObject(const API_NotifyElementType& notification);
    bool UndoLoneMoves();
    void OfferRecordedPositions();
    bool InOwnBatch() const;

    TypVektor<API_Guid> newPointClouds_;
    TypVektor<API_Guid> editedLinked_;
    TypVektor<API_NotifyElementType> linkedNotifications_;
    TypVektor<API_ActTranPars> linkedTransformations_;
    bool activeMarkerTouched_ = false;
    bool navigatorRefreshNeeded_ = false;
    std::vector<OpenBatch> open_;
};
