#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "RS/ResourceModule.hpp"
#include "Win/WinStandIns.hpp"

namespace
{

void PutU32(std::string& out, std::uint32_t value)
{
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
}

std::string Resource(std::uint32_t type, std::int16_t id, std::uint32_t length, const std::string& data)
{
    std::string out;
    PutU32(out, type);
    out.push_back(static_cast<char>(id & 0xFF));
    out.push_back(static_cast<char>((id >> 8) & 0xFF));
    PutU32(out, length);
    return out + data;
}

std::string Strings(std::uint32_t count, const std::vector<std::string>& entries)
{
    std::string out;
    PutU32(out, count);
    for (const std::string& entry : entries)
    {
        PutU32(out, static_cast<std::uint32_t>(entry.size()));
        out += entry;
    }
    return out;
}

std::string Bundle(std::uint32_t count, const std::string& resources)
{
    std::string out = "SVRS";
    PutU32(out, 1);
    PutU32(out, count);
    return out + resources;
}

}  // namespace

// A damaged language file keeps what lies before the damage, and each damage is
// told naming the file and the byte it lies at.
TEST(LanguageFileReader, TellsWhatItIgnoresAndKeepsTheRest)
{
    TempFolder folder;
    const std::string path = folder.path() + "/SurvantoInt.lng";
    // At byte 12 a whole list of two; at byte 40 a list of three whose third entry
    // claims 50 bytes; at byte 68 a file resource of 100 bytes with only 5 there.
    std::string cutList = Strings(3, {"a", "b"});
    PutU32(cutList, 50);
    const std::string bytes =
        Bundle(3, Resource(RS::StringListType, 100, 18, Strings(2, {"one", "two"})) +
                      Resource(RS::StringListType, 101, 18, cutList) + Resource(RS::FileType, 7, 100, "12345"));
    std::ofstream(path, std::ios::binary) << bytes;
    Win::ClearRecords();

    const RS::ResModule module = RS::OpenResourceFile(path);
    ASSERT_NE(module, 0);
    EXPECT_EQ(RS::GetIndString(100, 1, module).ToUtf8(), "one");
    EXPECT_EQ(RS::GetIndString(100, 2, module).ToUtf8(), "two");
    EXPECT_EQ(RS::GetIndString(101, 2, module).ToUtf8(), "b");
    GS::UniString third;
    EXPECT_FALSE(RS::GetIndString(third, 101, 3, module));
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(RS::GetResourceData(RS::FileType, 7, module, data));
    RS::CloseResourceModule(module);
    EXPECT_EQ(Win::RecordedDebugOutput(),
              (std::vector<std::string> {
                  path + ": byte 40: string list 101 is cut short at its entry 3 of 3; the entries from there on are ignored",
                  path + ": byte 68: resource 3 of 3 is cut short; it and the 0 behind it are ignored"}));

    Win::ClearRecords();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "Survanto texts, English\n";
    EXPECT_EQ(RS::OpenResourceFile(path), 0);
    EXPECT_EQ(Win::RecordedDebugOutput(), std::vector<std::string> {path + ": not a resource file; nothing in it is used"});

    Win::ClearRecords();
    EXPECT_EQ(RS::OpenResourceFile(folder.path() + "/SurvantoFra.lng"), 0);
    EXPECT_TRUE(Win::RecordedDebugOutput().empty()) << "a missing language file is no damage";
}
