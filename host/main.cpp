// survanto-host: loads the add-on as the host would and plays a scenario.
#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "Scenario.hpp"

namespace
{

std::string DefaultAddOnPath(const char* argv0)
{
    return (std::filesystem::absolute(argv0).parent_path() / "Survanto.apx").string();
}

int Usage()
{
    std::cerr << "usage: survanto-host [--addon PATH] [--work DIR] SCENARIO...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    SimHost::Host::Options options;
    options.addOnPath = DefaultAddOnPath(argv[0]);
    std::vector<std::string> scenarios;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--addon" && i + 1 < argc)
            options.addOnPath = argv[++i];
        else if (arg == "--work" && i + 1 < argc)
            options.workFolder = argv[++i];
        else if (!arg.empty() && arg[0] == '-')
            return Usage();
        else
            scenarios.push_back(arg);
    }
    if (scenarios.empty()) return Usage();
    for (const auto& path : scenarios)
    {
        SimHost::Scenario scenario(options, std::cout);
        if (!scenario.RunFile(path))
        {
            std::cout << "FAILED " << path << "\n";
            return 1;
        }
        std::cout << "passed " << path << "\n";
    }
    return 0;
}
