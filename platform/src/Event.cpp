#include "GS/Event.hpp"

#include <algorithm>

namespace GS
{

namespace
{

template <typename T>
void Remove(std::vector<T*>& list, const T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

EventObserver::~EventObserver()
{
    while (!sources_.empty()) sources_.back()->Detach(*this);
}

void EventObserver::SourceDestroyed(EventSource& source) { Remove(sources_, &source); }

EventSource::~EventSource()
{
    while (!observers_.empty())
    {
        EventObserver* observer = observers_.back();
        observers_.pop_back();
        observer->SourceDestroyed(*this);
        Remove(observer->sources_, this);
    }
}

void EventSource::Attach(EventObserver& observer)
{
    if (IsAttached(observer)) return;
    observers_.push_back(&observer);
    observer.sources_.push_back(this);
}

void EventSource::Detach(EventObserver& observer)
{
    Remove(observers_, &observer);
    Remove(observer.sources_, this);
}

bool EventSource::IsAttached(const EventObserver& observer) const
{
    return std::find(observers_.begin(), observers_.end(), &observer) != observers_.end();
}

}  // namespace GS
