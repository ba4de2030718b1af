#include "LibraryParts.hpp"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <locale>
#include <sstream>

#include <nlohmann/json.hpp>

#include "GS/Guid.hpp"
#include "Host.hpp"
#include "HostFiles.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

using nlohmann::json;

constexpr const char* FileFormat = "survanto-host library part 1";

// "{main GUID}": the part whatever its revision.
constexpr std::size_t MainIdLength = 38;
constexpr std::int32_t ParameterSectionType = FourCC("PARD");

std::int32_t CodeFrom(const std::string& text)
{
    if (text.size() != 4) throw std::runtime_error("a section type is four characters: " + text);
    char code[5] = {text[0], text[1], text[2], text[3], 0};
    return FourCC(code);
}

// Text sections are kept as text when they are UTF-8 without zero bytes.
bool IsText(const std::vector<char>& bytes)
{
    if (bytes.empty()) return true;
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) return false;
    const std::string text(bytes.begin(), bytes.end());
    return GS::Utf16ToUtf8(GS::Utf8ToUtf16(text)) == text;
}

json SectionJson(const LibraryPartSection& section)
{
    json out {{"type", FourCCText(section.type)}, {"subIdent", section.subIdent}};
    if (IsText(section.bytes))
        out["text"] = std::string(section.bytes.begin(), section.bytes.end());
    else
        out["hex"] = HexText(std::vector<std::uint8_t>(section.bytes.begin(), section.bytes.end()));
    return out;
}

LibraryPartSection SectionFrom(const json& in)
{
    LibraryPartSection section;
    section.type = CodeFrom(in.at("type").get<std::string>());
    section.subIdent = in.value("subIdent", std::int16_t {0});
    if (in.contains("text"))
    {
        const std::string text = in.at("text").get<std::string>();
        section.bytes.assign(text.begin(), text.end());
        return section;
    }
    std::vector<std::uint8_t> bytes;
    if (!BytesFromHex(in.at("hex").get<std::string>(), bytes)) throw std::runtime_error("a section is no hex text");
    section.bytes.assign(bytes.begin(), bytes.end());
    return section;
}

json ParameterJson(const API_AddParType& p)
{
    json out {{"name", std::string(p.name, strnlen(p.name, sizeof p.name))}, {"type", p.typeID}, {"value", p.value}};
    if (!p.text.IsEmpty()) out["text"] = p.text.ToUtf8();
    if (!p.description.IsEmpty()) out["description"] = p.description.ToUtf8();
    if (p.flags != 0) out["flags"] = p.flags;
    if (p.dim1 != 0 || p.dim2 != 0)
    {
        out["dim1"] = p.dim1;
        out["dim2"] = p.dim2;
        out["values"] = p.arrayValues;
    }
    if (!p.arrayTexts.empty()) out["texts"] = HexText(p.arrayTexts);
    return out;
}

API_AddParType ParameterFrom(const json& in)
{
    API_AddParType p;
    const std::string name = in.at("name").get<std::string>();
    if (name.empty() || name.size() >= sizeof p.name) throw std::runtime_error("a parameter name of 1 to 31 characters");
    std::memcpy(p.name, name.data(), name.size());
    p.typeID = in.at("type").get<std::int32_t>();
    p.value = in.value("value", 0.0);
    p.text = GS::UniString(in.value("text", std::string()));
    p.description = GS::UniString(in.value("description", std::string()));
    p.flags = in.value("flags", 0);
    p.dim1 = in.value("dim1", 0);
    p.dim2 = in.value("dim2", 0);
    p.arrayValues = in.value("values", std::vector<double> {});
    if (in.contains("texts") && !BytesFromHex(in.at("texts").get<std::string>(), p.arrayTexts))
        throw std::runtime_error("a parameter's texts are no hex text");
    return p;
}

struct ParameterKind
{
    const char* word;
    std::int32_t type;
};

constexpr ParameterKind ParameterKinds[] = {
    {"length", APIParT_Length},   {"real", APIParT_Real},    {"angle", APIParT_Angle},   {"integer", APIParT_Integer},
    {"boolean", APIParT_Boolean}, {"pen", APIParT_PenColor}, {"string", APIParT_String}, {"strings", APIParT_String},
};

// An array of texts from its names separated by "|": zero-terminated UTF-16 texts in one block.
void SetArrayTexts(const std::string& names, API_AddParType& parameter)
{
    std::vector<std::string> list;
    std::string::size_type from = 0;
    for (;;)
    {
        const auto bar = names.find('|', from);
        list.push_back(names.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
        if (bar == std::string::npos) break;
        from = bar + 1;
    }
    parameter.dim1 = static_cast<std::int32_t>(list.size());
    parameter.dim2 = 1;
    for (const std::string& name : list)
    {
        const std::u16string units = GS::Utf8ToUtf16(name);
        for (const char16_t unit : units)
        {
            parameter.arrayTexts.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            parameter.arrayTexts.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        parameter.arrayTexts.push_back(0);
        parameter.arrayTexts.push_back(0);
    }
}

// Words of a line; a quoted text is one word without its quotes. False when a
// quote is left open.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::vector<bool>& quoted)
{
    std::size_t i = 0;
    while (i < line.size())
    {
        if (std::isspace(static_cast<unsigned char>(line[i])))
        {
            ++i;
            continue;
        }
        if (line[i] == '"')
        {
            const std::size_t end = line.find('"', i + 1);
            if (end == std::string::npos) return false;
            words.push_back(line.substr(i + 1, end - i - 1));
            quoted.push_back(true);
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
        words.push_back(line.substr(i, end - i));
        quoted.push_back(false);
        i = end;
    }
    return true;
}

bool ReadNumber(const std::string& word, double& value)
{
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    return static_cast<bool>(in >> value) && in.peek() == std::char_traits<char>::eof();
}

// One parameter line: name, quoted description, kind, value.
bool ReadParameter(const std::vector<std::string>& words, const std::vector<bool>& quoted, API_AddParType& parameter,
                   std::string& error)
{
    if (words.size() != 4 || quoted[0] || !quoted[1] || quoted[2])
    {
        error = "a parameter is <name> \"<description>\" <kind> <value>";
        return false;
    }
    if (words[0].empty() || words[0].size() >= sizeof parameter.name)
    {
        error = "a parameter name has 1 to " + std::to_string(sizeof parameter.name - 1) + " characters";
        return false;
    }
    const auto kind = std::find_if(std::begin(ParameterKinds), std::end(ParameterKinds),
                                   [&](const ParameterKind& k) { return words[2] == k.word; });
    if (kind == std::end(ParameterKinds))
    {
        error = "unknown parameter kind '" + words[2] + "'";
        return false;
    }
    std::memcpy(parameter.name, words[0].data(), words[0].size());
    parameter.typeID = kind->type;
    if (kind->type == APIParT_String)
    {
        if (!quoted[3])
        {
            error = "a string parameter's value is quoted";
            return false;
        }
        if (words[2] == "strings")
            SetArrayTexts(words[3], parameter);
        else
            parameter.text = GS::UniString(words[3]);
        return true;
    }
    if (quoted[3] || !ReadNumber(words[3], parameter.value))
    {
        error = "'" + words[3] + "' is no number";
        return false;
    }
    return true;
}

enum class Section
{
    Head,
    Parameters,
    Done
};

bool ReadPartLine(const std::string& line, Section& section, LibraryPartEntry& part, std::string& error)
{
    std::vector<std::string> words;
    std::vector<bool> quoted;
    if (!SplitWords(line, words, quoted))
    {
        error = "a quote is not closed";
        return false;
    }
    if (words.empty() || words[0].front() == '!') return true;
    if (section == Section::Done)
    {
        error = "nothing may follow 'end'";
        return false;
    }
    if (section == Section::Parameters)
    {
        if (words.size() == 1 && words[0] == "end")
        {
            section = Section::Done;
            return true;
        }
        API_AddParType parameter;
        if (!ReadParameter(words, quoted, parameter, error)) return false;
        part.params.push_back(parameter);
        return true;
    }
    if (words.size() == 3 && words[0] == "GDL" && words[1] == "object" && quoted[2])
    {
        part.name = words[2];
    }
    else if (words.size() == 2 && words[0] == "unique-id")
    {
        if (!IsLibraryPartUniqueId(words[1]))
        {
            error = "'" + words[1] + "' is no {main GUID}-{revision GUID}";
            return false;
        }
        part.uniqueId = words[1];
    }
    else if (words.size() == 1 && words[0] == "parameters")
    {
        section = Section::Parameters;
    }
    else
    {
        error = "unexpected '" + line + "'";
        return false;
    }
    return true;
}

double NumberOf(const LibraryPartEntry& part, const char* name)
{
    for (const API_AddParType& p : part.params)
        if (strncasecmp(p.name, name, sizeof p.name) == 0) return p.value;
    return 0.0;
}

bool ReadTextPart(const std::string& path, const std::string& text, LibraryPartEntry& part, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    Section section = Section::Head;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!ReadPartLine(line, section, part, error))
        {
            error = path + ":" + std::to_string(number) + ": " + error;
            return false;
        }
    }
    if (part.name.empty() || part.uniqueId.empty() || section != Section::Done)
    {
        error = path + ": a part needs its name, its unique-id and its parameters up to 'end'";
        return false;
    }
    part.sizeA = NumberOf(part, "A");
    part.sizeB = NumberOf(part, "B");
    return true;
}

bool ReadJsonPart(const std::string& path, const std::string& text, LibraryPartEntry& part, std::string& error)
{
    try
    {
        const json in = json::parse(text);
        if (in.value("format", std::string()) != FileFormat) throw std::runtime_error("not a library part of this host");
        part.typeID = in.at("type").get<std::int32_t>();
        part.name = in.at("name").get<std::string>();
        part.uniqueId = in.at("uniqueId").get<std::string>();
        part.version = in.value("version", std::int32_t {0});
        part.parentUniqueId = in.value("parentUniqueId", std::string());
        part.placeable = in.value("placeable", false);
        part.formatVersion = in.value("formatVersion", std::int16_t {0});
        part.platformSign = in.contains("platformSign") ? PlatformSignFrom(in.at("platformSign")) : 0;
        if (in.contains("details"))
        {
            part.details.autoHotspot = in.at("details").value("autoHotspot", false);
            part.details.fixSize = in.at("details").value("fixSize", false);
        }
        for (const json& section : in.at("sections")) part.SetSection(SectionFrom(section));
        return true;
    }
    catch (const std::exception& e)
    {
        error = path + ": " + e.what();
        return false;
    }
}

}  // namespace

const LibraryPartSection* LibraryPartEntry::Section(std::int32_t type, std::int16_t subIdent) const
{
    for (const LibraryPartSection& section : sections)
        if (section.type == type && section.subIdent == subIdent) return &section;
    return nullptr;
}

void LibraryPartEntry::SetSection(const LibraryPartSection& section)
{
    ParameterList list;
    if (section.type == ParameterSectionType && section.subIdent == 0 && ReadParameterSection(section.bytes, list))
    {
        sizeA = list.a;
        sizeB = list.b;
        params = std::move(list.parameters);
    }
    for (LibraryPartSection& known : sections)
        if (known.type == section.type && known.subIdent == section.subIdent)
        {
            known = section;
            return;
        }
    sections.push_back(section);
}

std::vector<char> ParameterSectionBytes(const ParameterList& list)
{
    json out {{"a", list.a}, {"b", list.b}, {"parameters", json::array()}};
    for (const API_AddParType& p : list.parameters) out["parameters"].push_back(ParameterJson(p));
    const std::string text = out.dump(1);
    return {text.begin(), text.end()};
}

bool ReadParameterSection(const std::vector<char>& bytes, ParameterList& list)
{
    try
    {
        const json in = json::parse(bytes.begin(), bytes.end());
        ParameterList read;
        read.a = in.at("a").get<double>();
        read.b = in.at("b").get<double>();
        for (const json& p : in.at("parameters")) read.parameters.push_back(ParameterFrom(p));
        list = std::move(read);
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

bool SaveLibraryPartFile(const LibraryPartEntry& part, std::string& error)
{
    json out {{"format", FileFormat},
              {"type", part.typeID},
              {"version", part.version},
              {"name", part.name},
              {"uniqueId", part.uniqueId},
              {"parentUniqueId", part.parentUniqueId},
              {"placeable", part.placeable},
              {"formatVersion", part.formatVersion},
              {"platformSign", PlatformSignJson(part.platformSign)},
              {"details", {{"autoHotspot", part.details.autoHotspot}, {"fixSize", part.details.fixSize}}},
              {"sections", json::array()}};
    for (const LibraryPartSection& section : part.sections) out["sections"].push_back(SectionJson(section));
    return WriteFileSafely(part.path, out.dump(1) + "\n", error);
}

// The host's own files are JSON objects; every other part file is text.
bool ReadLibraryPartFile(const std::string& path, LibraryPartEntry& part, std::string& error)
{
    std::string text;
    if (!ReadWholeFile(path, text))
    {
        error = path + ": cannot be read";
        return false;
    }
    const auto first =
        std::find_if(text.begin(), text.end(), [](char c) { return !std::isspace(static_cast<unsigned char>(c)); });
    LibraryPartEntry read;
    if (!(first != text.end() && *first == '{' ? ReadJsonPart(path, text, read, error) : ReadTextPart(path, text, read, error)))
        return false;
    read.path = path;
    part = std::move(read);
    return true;
}

// "{main GUID}-{revision GUID}", each GUID in braces.
bool IsLibraryPartUniqueId(const std::string& text)
{
    const auto bracedGuid = [](const std::string& part) {
        GS::Guid guid;
        return part.size() == 38 && part.front() == '{' && part.back() == '}' && guid.FromText(part.substr(1, 36));
    };
    return text.size() == 77 && text[38] == '-' && bracedGuid(text.substr(0, 38)) && bracedGuid(text.substr(39));
}

GSErrCode CompareLibraryPartIds(const char* first, const char* second)
{
    if (first == nullptr || second == nullptr) return APIERR_BADPARS;
    if (std::strcmp(first, second) == 0) return NoError;
    if (std::strlen(first) > MainIdLength && std::strncmp(first, second, MainIdLength) == 0) return APIERR_COMPATIBLEPART;
    return APIERR_GENERAL;
}

}  // namespace SimHost
