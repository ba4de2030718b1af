#pragma once
#include "API/AddOnInterface.hpp"

// An element memo that the host filled, given back to the host on every way out.
class ScopedElementMemo
{
public:
    ScopedElementMemo() = default;
    ScopedElementMemo(const ScopedElementMemo&) = delete;
    ScopedElementMemo& operator=(const ScopedElementMemo&) = delete;
    ~ScopedElementMemo() { Dispose(); }

    API_ElementMemo& operator*() { return memo_; }
    const API_ElementMemo& operator*() const { return memo_; }
    API_ElementMemo* operator->() { return &memo_; }
    const API_ElementMemo* operator->() const { return &memo_; }

    // Gives the memo back now; later calls do nothing.
    void Dispose()
    {
        if (disposed_) return;
        disposed_ = true;
        HostDisposeElementMemo(&memo_);
    }

    // Hands the memo to a new owner, which gives it back to the host.
    API_ElementMemo Release()
    {
        disposed_ = true;
        return memo_;
    }

    // Gives back what the memo holds and keeps it for filling again.
    void Empty() { HostDisposeElementMemo(&memo_); }

private:
    API_ElementMemo memo_;
    bool disposed_ = false;
};
