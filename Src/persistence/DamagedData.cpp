#include "persistence/DamagedData.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>
#include <system_error>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/CDataRecorder.hpp"

namespace
{

constexpr std::int16_t TextNotReadWhole = 116;
constexpr std::int16_t TextKeptIn = 117;
constexpr std::int16_t TextNotKept = 118;
constexpr std::int16_t FirstPartName = 119;

// Numbered names are tried up to this one before giving up.
constexpr int LastKeepingNumber = 99;

std::u16string Replaced(std::u16string text, const std::u16string& what, const std::u16string& with)
{
    for (std::size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

GS::UniString Entry(std::int16_t index)
{
    return RS::GetIndString(static_cast<std::int16_t>(AlertStringListId), index, CurrentResourceModule());
}

std::u16string PartNames(const std::vector<StoredPart>& parts)
{
    std::u16string names;
    for (const StoredPart part : parts)
    {
        if (!names.empty()) names += u", ";
        names += Entry(static_cast<std::int16_t>(FirstPartName + static_cast<std::int16_t>(part))).Units();
    }
    return names;
}

std::string ProjectFilePath()
{
    API_ProjectInfo project;
    if (HostEnvironmentRequest(FourCC("PROJ"), &project, nullptr) != NoError || project.location == nullptr) return {};
    return project.location->ToPath();
}

// Whether `path` is a regular file holding exactly `bytes`; a link, a FIFO or
// anything else in its place is never opened.
bool HoldsBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::regular ||
        std::filesystem::file_size(path, error) != bytes.size() || error)
        return false;
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return held == bytes;
}

// The host's file writes beside the target and takes its place at Close only
// when every byte went out.
bool WriteWhole(const std::string& path, const std::vector<char>& bytes)
{
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeHostFileBinary);
    recorder.SetPath(path.c_str());
    if (recorder.OpenWrite() != 0) return false;
    const bool written = bytes.empty() || recorder.WriteBytes(bytes.data(), bytes.size());
    return recorder.Close() == 0 && written;
}

}  // namespace

void DamagedData::Add(const std::string& moduleName, std::vector<char> bytes, std::vector<StoredPart> unread)
{
    Block block {ProjectFilePath(), moduleName, std::move(bytes), std::move(unread)};
    const std::size_t fingerprint = Fingerprint(block);
    const bool pending = std::any_of(pending_.begin(), pending_.end(),
                                     [fingerprint](const Block& other) { return Fingerprint(other) == fingerprint; });
    if (!pending && told_.count(fingerprint) == 0) pending_.push_back(std::move(block));
}

void DamagedData::Tell()
{
    if (pending_.empty()) return;
    std::vector<StoredPart> unread;
    std::vector<std::string> keptIn;
    bool allKept = true;
    for (const Block& block : pending_)
    {
        const std::string kept = block.project.empty() ? std::string() : KeepBeside(block.project, block.moduleName, block.bytes);
        if (kept.empty())
            allKept = false;
        else
            keptIn.push_back(kept);
        unread.insert(unread.end(), block.unread.begin(), block.unread.end());
        told_.insert(Fingerprint(block));
    }
    pending_.clear();
    std::sort(unread.begin(), unread.end());
    unread.erase(std::unique(unread.begin(), unread.end()), unread.end());
    ShowAlert(unread, keptIn, allKept);
}

std::string DamagedData::KeepBeside(const std::string& projectPath, const std::string& moduleName, const std::vector<char>& bytes)
{
    const std::string base = projectPath + ".Survanto" + (moduleName.empty() ? "" : "-" + moduleName);
    for (int number = 1; number <= LastKeepingNumber; ++number)
    {
        const std::string path = base + (number == 1 ? "" : "-" + std::to_string(number)) + ".bak";
        if (HoldsBytes(path, bytes)) return path;
        std::error_code error;
        if (std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found) continue;
        return WriteWhole(path, bytes) ? path : std::string();
    }
    return {};
}

std::size_t DamagedData::Fingerprint(const Block& block)
{
    const std::size_t ofBytes = std::hash<std::string_view>()(std::string_view(block.bytes.data(), block.bytes.size()));
    return ofBytes ^ (std::hash<std::string>()(block.project + '\n' + block.moduleName) << 1);
}

void DamagedData::ShowAlert(const std::vector<StoredPart>& unread, const std::vector<std::string>& keptIn, bool allKept)
{
    std::u16string files;
    for (const std::string& path : keptIn) files += (files.empty() ? u"" : u", ") + GS::UniString(path).Units();
    DG::AlertRecord alert;
    alert.type = AlertError;
    alert.title = Entry(AlertErrorTitle);
    alert.text1 = GS::UniString(Replaced(Entry(TextNotReadWhole).Units(), u"[PARTS]", PartNames(unread)));
    alert.text2 = allKept ? GS::UniString(Replaced(Entry(TextKeptIn).Units(), u"[FILEPATH]", files)) : Entry(TextNotKept);
    alert.button1 = Entry(AlertOkButton);
    DG::Alert(alert);
}
