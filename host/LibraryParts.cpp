#include "LibraryParts.hpp"

#include <cstring>

#include <nlohmann/json.hpp>

#include "Host.hpp"
#include "HostFiles.hpp"

namespace SimHost {

namespace {

using nlohmann::json;

constexpr const char* FileFormat = "survanto-host library part 1";

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
    if (in.contains("text")) {
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
    if (p.dim1 != 0 || p.dim2 != 0) {
        out["dim1"] = p.dim1;
        out["dim2"] = p.dim2;
        out["values"] = p.arrayValues;
    }
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
    return p;
}

std::uint16_t SignFrom(const json& sign)
{
    if (sign.is_number()) return sign.get<std::uint16_t>();
    const std::string text = sign.get<std::string>();
    if (text.size() != 2) throw std::runtime_error("a platform sign is two characters");
    return static_cast<std::uint16_t>((static_cast<unsigned char>(text[0]) << 8) | static_cast<unsigned char>(text[1]));
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
    for (LibraryPartSection& known : sections)
        if (known.type == section.type && known.subIdent == section.subIdent) {
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
    try {
        const json in = json::parse(bytes.begin(), bytes.end());
        ParameterList read;
        read.a = in.at("a").get<double>();
        read.b = in.at("b").get<double>();
        for (const json& p : in.at("parameters")) read.parameters.push_back(ParameterFrom(p));
        list = std::move(read);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool SaveLibraryPartFile(const LibraryPartEntry& part, std::string& error)
{
    json out {{"format", FileFormat},
              {"type", part.typeID},
              {"name", part.name},
              {"uniqueId", part.uniqueId},
              {"parentUniqueId", part.parentUniqueId},
              {"placeable", part.placeable},
              {"formatVersion", part.formatVersion},
              {"platformSign", PlatformSignText(part.platformSign)},
              {"details", {{"autoHotspot", part.details.autoHotspot}, {"fixSize", part.details.fixSize}}},
              {"sections", json::array()}};
    for (const LibraryPartSection& section : part.sections) out["sections"].push_back(SectionJson(section));
    return WriteFileSafely(part.path, out.dump(1) + "\n", error);
}

bool ReadLibraryPartFile(const std::string& path, LibraryPartEntry& part, std::string& error)
{
    std::string text;
    if (!ReadWholeFile(path, text)) {
        error = "cannot read " + path;
        return false;
    }
    try {
        const json in = json::parse(text);
        if (in.value("format", std::string()) != FileFormat) throw std::runtime_error("not a library part of this host");
        LibraryPartEntry read;
        read.path = path;
        read.typeID = in.at("type").get<std::int32_t>();
        read.name = in.at("name").get<std::string>();
        read.uniqueId = in.at("uniqueId").get<std::string>();
        read.parentUniqueId = in.value("parentUniqueId", std::string());
        read.placeable = in.value("placeable", false);
        read.formatVersion = in.value("formatVersion", std::int16_t {0});
        read.platformSign = in.contains("platformSign") ? SignFrom(in.at("platformSign")) : 0;
        if (in.contains("details")) {
            read.details.autoHotspot = in.at("details").value("autoHotspot", false);
            read.details.fixSize = in.at("details").value("fixSize", false);
        }
        for (const json& section : in.at("sections")) read.sections.push_back(SectionFrom(section));
        part = std::move(read);
        return true;
    } catch (const std::exception& e) {
        error = path + ": " + e.what();
        return false;
    }
}

}  // namespace SimHost
