#pragma once
#include "API/AddOnInterface.hpp"

// Hands the host's body builder back however the command ends.
class BodyBuilderHandle
{
public:
    BodyBuilderHandle()
    {
        if (HostCreateBodyBuilder(nullptr, 0, &handle_) != NoError) handle_ = nullptr;
    }
    ~BodyBuilderHandle() { Dispose(); }
    BodyBuilderHandle(const BodyBuilderHandle&) = delete;
    BodyBuilderHandle& operator=(const BodyBuilderHandle&) = delete;

    API_BodyBuilder Get() const { return handle_; }
    void Dispose()
    {
        if (handle_ != nullptr) HostDisposeBodyBuilder(&handle_);
        handle_ = nullptr;
    }

private:
    API_BodyBuilder handle_ = nullptr;
};
