#pragma once
#include <memory>
#include <string>

#include "Host.hpp"

// A simulated host driving the add-on that is linked into the test itself, so a
// test can look at the add-on's own objects while the host plays its part.
class InProcessHost
{
public:
    explicit InProcessHost(SimHost::Host::Options options = {});
    ~InProcessHost();

    SimHost::Host& host() { return *host_; }
    SimHost::Host* operator->() { return host_.get(); }

private:
    std::unique_ptr<SimHost::Host> host_;
};

// A fresh, empty folder below the system's temporary folder, removed with the object.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
