#pragma once
#include <iosfwd>
#include <memory>
#include <string>

#include "Host.hpp"

namespace SimHost {

// Runs a scenario: one host action or expectation per line.
//   config <line>            a line of Survanto.cfg (before start)
//   language <code>          the host's language code (before start)
//   tool <type> [variation]  the current toolbox item (a tool change once started)
//   fail-message <name>      registering this window message fails (before start)
//   start                    load the add-on and run its entry points
//   new-project | open-project <name> | close-project | quit
//   run                      run the posted add-on commands
//   free                     FreeData and unload the add-on
//   print [fact]             print all facts, or one
//   expect <fact> = <text>   the fact must read exactly so
// Blank lines and lines starting with # are skipped.
class Scenario {
public:
    Scenario(Host::Options options, std::ostream& out);
    ~Scenario();

    bool RunFile(const std::string& path);
    bool RunText(const std::string& text, const std::string& origin = "<text>");
    Host* GetHost() { return host_.get(); }

private:
    bool RunLine(const std::string& line);
    bool Fail(const std::string& message);

    Host::Options options_;
    std::ostream& out_;
    std::unique_ptr<Host> host_;
    std::string origin_;
    int lineNumber_ = 0;
};

}  // namespace SimHost
