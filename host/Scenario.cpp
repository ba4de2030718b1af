#include "Scenario.hpp"

#include <fstream>
#include <iostream>
#include <sstream>

#include "Win/WinStandIns.hpp"

namespace SimHost {

namespace {
std::string Rest(std::istringstream& in)
{
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}
}  // namespace

Scenario::Scenario(Host::Options options, std::ostream& out) : options_(std::move(options)), out_(out) {}

Scenario::~Scenario() = default;

bool Scenario::RunFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in) {
        out_ << "cannot read scenario " << path << "\n";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return RunText(text.str(), path);
}

bool Scenario::RunText(const std::string& text, const std::string& origin)
{
    origin_ = origin;
    lineNumber_ = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        ++lineNumber_;
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        if (!RunLine(line.substr(first))) return false;
    }
    return true;
}

bool Scenario::Fail(const std::string& message)
{
    out_ << origin_ << ":" << lineNumber_ << ": " << message << "\n";
    return false;
}

bool Scenario::RunLine(const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "config") {
        options_.configLines.push_back(Rest(in));
        return true;
    }
    if (verb == "language") {
        in >> options_.languageCode;
        return true;
    }
    if (verb == "fail-message") {
        Win::FailMessageRegistration(Rest(in), true);
        return true;
    }
    if (verb == "tool") {
        API_ElemTypeID type = 0;
        std::int32_t variation = 0;
        in >> type >> variation;
        if (host_) host_->SelectTool(type, variation);
        options_.currentTool = type;
        return true;
    }
    if (verb == "start") {
        host_ = std::make_unique<Host>(options_);
        if (!host_->Start()) return Fail("the add-on did not start: " + host_->LoadError());
        return true;
    }
    if (verb == "print") {
        const std::string fact = Rest(in);
        if (!fact.empty()) {
            out_ << fact << ": " << (host_ ? host_->Fact(fact) : "<no host>") << "\n";
            return true;
        }
        if (host_)
            for (const auto& [name, value] : host_->Facts()) out_ << name << ": " << value << "\n";
        return true;
    }
    if (!host_) return Fail("'" + verb + "' needs a started host");
    if (verb == "new-project") host_->NewProject();
    else if (verb == "open-project") host_->OpenProject(Rest(in));
    else if (verb == "close-project") host_->CloseProject();
    else if (verb == "quit") host_->Quit();
    else if (verb == "run") host_->RunPendingCommands();
    else if (verb == "free") host_->Shutdown();
    else if (verb == "expect") {
        std::string fact, equals;
        in >> fact >> equals;
        if (equals != "=") return Fail("expect <fact> = <text>");
        const std::string wanted = Rest(in);
        const std::string actual = host_->Fact(fact);
        if (actual != wanted) return Fail("expected " + fact + " = " + wanted + "\n    but it is " + actual);
    } else {
        return Fail("unknown action '" + verb + "'");
    }
    return true;
}

}  // namespace SimHost
