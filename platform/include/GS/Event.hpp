#pragma once
#include <vector>

namespace GS
{

class EventSource;

// Something that listens to event sources. It leaves every source it listens to
// when it goes, so a source never calls an observer that is gone.
class EventObserver
{
public:
    EventObserver() = default;
    EventObserver(const EventObserver&) = delete;
    EventObserver& operator=(const EventObserver&) = delete;
    virtual ~EventObserver();

    // The source goes away; the observer no longer listens to it.
    virtual void SourceDestroyed(EventSource& source);

private:
    friend class EventSource;
    std::vector<EventSource*> sources_;
};

// Something that tells its observers of events; it tells them when it goes.
class EventSource
{
public:
    EventSource() = default;
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;
    virtual ~EventSource();

    // Attaching twice keeps one attachment; detaching an unattached observer does nothing.
    void Attach(EventObserver& observer);
    void Detach(EventObserver& observer);
    bool IsAttached(const EventObserver& observer) const;

protected:
    // The observers as they are now; one detached during a call is skipped by IsAttached.
    std::vector<EventObserver*> Observers() const { return observers_; }

private:
    std::vector<EventObserver*> observers_;
};

}  // namespace GS
