#include "ExchangeVerbs.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "DG/DG.hpp"
#include "Win/Process.hpp"
#include "Win/WinStandIns.hpp"

namespace fs = std::filesystem;

namespace SimHost
{

namespace
{

// Only a guard against a hang: the wait ends as soon as a command is posted.
constexpr int DefaultWaitMs = 30000;
constexpr int LongestWaitMs = 600000;
constexpr const char* EmptyExchangeDocument = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Annotations>\n</Annotations>\n";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// As PointCab writes: the whole file beside it, then in its place.
bool WriteAside(const std::string& path, const std::string& content)
{
    const std::string aside = path + ".pointcab-" + std::to_string(::getpid());
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(aside, path, ec);
    return !ec;
}

bool IsNumber(const std::string& word)
{
    char* end = nullptr;
    std::strtod(word.c_str(), &end);
    return !word.empty() && end == word.c_str() + word.size();
}

// Four numbers as one text; empty when there are none, false when there are some but not four.
bool ReadFour(std::istringstream& args, std::string& numbers)
{
    numbers.clear();
    std::string one;
    for (int i = 0; i < 4; ++i)
    {
        if (!(args >> one)) return i == 0;
        if (!IsNumber(one)) return false;
        numbers += (i ? " " : "") + one;
    }
    return true;
}

std::string XmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text)
    {
        switch (c)
        {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Annotation(const std::string& uuid, const std::string& point, const std::string& origin)
{
    std::string element = "  <Annotation>\n    <Element type=\"point\" uuid=\"" + XmlEscaped(uuid) + "\">\n      <Point3d>" +
                          point + "</Point3d>\n";
    if (!origin.empty()) element += "      <Origin3d>" + origin + "</Origin3d>\n";
    return element + "    </Element>\n  </Annotation>\n";
}

// Before the document element's end tag.
std::string Appended(std::string document, const std::string& annotation)
{
    const std::size_t end = document.rfind("</");
    if (end == std::string::npos) return EmptyExchangeDocument;
    document.insert(end, annotation);
    return document;
}

std::string Unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n')
        {
            out += '\n';
            ++i;
        }
        else
        {
            out += text[i];
        }
    }
    return out;
}

std::size_t CountAnnotations(const std::string& document)
{
    std::size_t count = 0;
    for (std::size_t at = document.find("<Annotation"); at != std::string::npos; at = document.find("<Annotation", at + 1))
    {
        const char next = at + 11 < document.size() ? document[at + 11] : '\0';
        if (next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' || next == '\r') ++count;
    }
    return count;
}

template <typename T, typename F>
std::string Listed(const std::vector<T>& items, F format)
{
    std::string out;
    for (const auto& item : items) out += "[" + format(item) + "]";
    return out;
}

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

}  // namespace

std::string ExchangeFilePath(const Host& host) { return (fs::path(host.WorkFolder()) / "AppData" / "vezadovi4vuz.lse").string(); }

void AddExchangeVerbs(ScenarioVerbs& verbs)
{
    verbs["annotation"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::string uuid, point, origin;
        args >> uuid;
        if (uuid.empty() || !ReadFour(args, point) || point.empty() || !ReadFour(args, origin) || !Scenario::Rest(args).empty())
            return s.Fail("annotation <uuid> <x y z w> [<ox oy oz ow>]");
        const std::string path = ExchangeFilePath(host);
        std::string document = ReadFile(path);
        if (document.find("</") == std::string::npos) document = EmptyExchangeDocument;
        return WriteAside(path, Appended(document, Annotation(uuid, point, origin))) || s.Fail("cannot write " + path);
    });
    verbs["exchange-raw"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string path = ExchangeFilePath(host);
        return WriteAside(path, Unescaped(Scenario::Rest(args))) || s.Fail("cannot write " + path);
    });
    verbs["exchange-folder"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        const std::string mode = Scenario::Rest(args);
        if (mode != "read-only" && mode != "writable") return s.Fail("exchange-folder read-only | writable");
        const fs::path folder = fs::path(ExchangeFilePath(host)).parent_path();
        const fs::perms perms = mode == "writable" ? fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                                         fs::perms::others_read | fs::perms::others_exec
                                                   : fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                                         fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
        std::error_code ec;
        fs::permissions(folder, perms, ec);
        return !ec || s.Fail("cannot change " + folder.string() + ": " + ec.message());
    });
    verbs["wait-newp"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        int ms = DefaultWaitMs;
        if (!Scenario::OptionalNumber(args, ms, 0, LongestWaitMs) || !Scenario::Rest(args).empty())
            return s.Fail("wait-newp [ms], at most " + std::to_string(LongestWaitMs) + " ms");
        if (!host.WaitForPostedCommand(ms)) return s.Fail("nothing was posted within " + std::to_string(ms) + " ms");
        host.RunPendingCommands();
        return true;
    });
}

void AddExchangeFacts(const Host& host, Facts& facts)
{
    const std::string path = ExchangeFilePath(host);
    facts["exchange-annotations"] = fs::exists(path) ? std::to_string(CountAnnotations(ReadFile(path))) : "none";
    facts["alerts"] = Listed(DG::RecordedAlerts(), [](const DG::AlertRecord& a) {
        return a.title.ToUtf8() + ": " + a.text1.ToUtf8() + (a.text2.IsEmpty() ? "" : " | " + a.text2.ToUtf8());
    });
    facts["sounds"] = Listed(Win::RecordedSounds(), [](const Win::SoundRecord& r) { return r.path; });
    facts["commands-run"] = Listed(Win::RecordedCommands(), [](const Win::CommandRecord& c) { return c.commandLine; });
}

}  // namespace SimHost
