#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "framework/CSettingsRecorder.hpp"

namespace
{

struct ExpectedToken
{
    std::string text;
    bool isNumber;
    double value;
};

struct TokenCase
{
    const char* name;
    std::string content;
    const char* key;
    std::vector<ExpectedToken> tokens;  // empty: no line starts with the key
};

std::string Repeated(const std::string& token, int count)
{
    std::string line;
    for (int i = 0; i < count; ++i) line += token + std::to_string(i) + " ";
    return line;
}

std::vector<ExpectedToken> NumberedTokens(int count)
{
    std::vector<ExpectedToken> tokens;
    for (int i = 0; i < count; ++i) tokens.push_back({"t" + std::to_string(i), false, 0.0});
    return tokens;
}

const TokenCase TokenCases[] = {
    {"key as written", "DebugMode 1\n", "DebugMode", {{"DebugMode", false, 0}, {"1", true, 1}}},
    {"key in other case", "debugmode 1\n", "DebugMode", {{"debugmode", false, 0}, {"1", true, 1}}},
    {"last line without break", "Other 2\r\nDebugMode 1", "DebugMode", {{"DebugMode", false, 0}, {"1", true, 1}}},
    {"runs of breaks and blank lines", "\r\n\r\nA 1\r\r\n\nB\t 2 \n", "b", {{"B", false, 0}, {"2", true, 2}}},
    {"quoted text with backslashes",
     "Name \"C:\\\\Temp\\\\a b\" 7\n",
     "Name",
     {{"Name", false, 0}, {"C:\\Temp\\a b", false, 0}, {"7", true, 7}}},
    {"escaped quote inside quotes",
     "Q \"say \\\"hi\\\"\" x\n",
     "Q",
     {{"Q", false, 0}, {"say \"hi\"", false, 0}, {"x", false, 0}}},
    {"missing closing quote", "Q \"open to the end", "Q", {{"Q", false, 0}, {"open to the end", false, 0}}},
    {"backslash rules unquoted",
     "K a\\b c\\\\d e\\\n",
     "K",
     {{"K", false, 0}, {"ab", false, 0}, {"c\\d", false, 0}, {"e\\", false, 0}}},
    {"comma belongs to its token", "Key 1,5\n", "Key", {{"Key", false, 0}, {"1,5", true, 1}}},
    {"number with trailing letters",
     "Key 12.5abc -3e2\n",
     "Key",
     {{"Key", false, 0}, {"12.5abc", true, 12.5}, {"-3e2", true, -300}}},
    {"first matching line wins", "K 1\nK 2\n", "K", {{"K", false, 0}, {"1", true, 1}}},
    {"key only as a value", "Other DebugMode\n", "DebugMode", {}},
    {"no such key", "A 1\nB 2\n", "C", {}},
    {"25 tokens keep the first 20", "K " + Repeated("t", 24) + "\n", "K",
     [] {
         auto tokens = NumberedTokens(19);
         tokens.insert(tokens.begin(), {"K", false, 0});
         return tokens;
     }()},
    {"a long line is cut, the next one read",
     "L " + std::string(4998, 'x') + "\nNext 3\n",
     "Next",
     {{"Next", false, 0}, {"3", true, 3}}},
    {"the cut line keeps its first 4000 bytes",
     "L " + std::string(4998, 'x') + "\nNext 3\n",
     "L",
     {{"L", false, 0}, {std::string(3998, 'x'), false, 0}}},
    {"UTF-16 with mark",
     std::string("\xFF\xFE"
                 "K\0 \0"
                 "4\0\n\0",
                 10),
     "K",
     {{"K", false, 0}, {"4", true, 4}}},
};

class SettingsTokens : public ::testing::TestWithParam<TokenCase>
{};

TEST_P(SettingsTokens, Cases)
{
    const TokenCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.path() + "/Survanto.cfg";
    std::ofstream(path, std::ios::binary) << c.content;

    CSettingsRecorder settings;
    settings.SetPath(path.c_str());
    settings.SetMode(CDataRecorder::ModeHostFileText);
    ASSERT_EQ(settings.Load(), 0);
    ASSERT_EQ(settings.FindKey(c.key), static_cast<short>(c.tokens.size()));
    for (std::size_t i = 0; i < c.tokens.size(); ++i)
    {
        const auto& token = settings.GetToken(static_cast<int>(i));
        EXPECT_EQ(token.text, c.tokens[i].text) << i;
        EXPECT_EQ(token.isNumber, c.tokens[i].isNumber ? 1 : 0) << i;
        EXPECT_DOUBLE_EQ(token.value, c.tokens[i].value) << i;
    }
    EXPECT_EQ(settings.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(SettingsRecorder, SettingsTokens, ::testing::ValuesIn(TokenCases), [](const auto& info) {
    std::string name;
    for (const char c : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

TEST(SettingsRecorder, EveryLookupInAUtf8FileWithMarkFindsTheFirstLine)
{
    TempFolder folder;
    const std::string path = folder.path() + "/Survanto.cfg";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF"
                                             "DebugMode 1\nName \xC3\xA4\n";
    CSettingsRecorder settings;
    settings.SetPath(path.c_str());
    settings.SetMode(CDataRecorder::ModeHostFileText);
    ASSERT_EQ(settings.Load(), 0);
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_EQ(settings.FindKey("DebugMode"), 2) << round;
        EXPECT_EQ(settings.GetToken(1).value, 1.0);
        ASSERT_EQ(settings.FindKey("Name"), 2) << round;
        EXPECT_EQ(settings.GetToken(1).text, "\xE4");
    }
}

TEST(SettingsRecorder, AValueMissingFromTheLineFoundIsAnEmptyToken)
{
    TempFolder folder;
    const std::string path = folder.path() + "/Survanto.cfg";
    std::ofstream(path, std::ios::binary) << "Other 1\nDebugMode\n";
    CSettingsRecorder settings;
    settings.SetPath(path.c_str());
    settings.SetMode(CDataRecorder::ModeHostFileText);
    ASSERT_EQ(settings.Load(), 0);
    ASSERT_EQ(settings.FindKey("DebugMode"), 1);
    EXPECT_EQ(settings.GetToken(1).isNumber, 0);
    EXPECT_EQ(settings.GetToken(1).value, 0.0);
    EXPECT_EQ(settings.GetToken(1).text, "");
}

// Lookups in any order, each answered by the first line of its key: keys met
// while an earlier lookup scanned past them, a key no line has, and keys asked again.
TEST(SettingsRecorder, LookupsInAnyOrderFindTheFirstLineOfTheirKey)
{
    TempFolder folder;
    const std::string path = folder.path() + "/Survanto.cfg";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF"
                                             "A 1\nB 2 x\n\na 3\nC 4\n";
    CSettingsRecorder settings;
    settings.SetPath(path.c_str());
    settings.SetMode(CDataRecorder::ModeHostFileText);
    ASSERT_EQ(settings.Load(), 0);
    const struct
    {
        const char* key;
        short count;
        double value;
    } lookups[] = {{"c", 2, 4}, {"A", 2, 1}, {"Missing", 0, 0}, {"b", 3, 2}, {"a", 2, 1}, {"C", 2, 4}, {"Missing", 0, 0}};
    for (const auto& lookup : lookups)
    {
        ASSERT_EQ(settings.FindKey(lookup.key), lookup.count) << lookup.key;
        if (lookup.count > 0)
        {
            EXPECT_EQ(settings.GetToken(1).value, lookup.value) << lookup.key;
        }
    }
}

// The file holds a few hundred bytes; one past 1 MiB is not taken into memory,
// also one whose size does not fit 32 bits (sparse here).
TEST(SettingsRecorder, AFileLargerThanOneMebibyteIsRefused)
{
    TempFolder folder;
    const std::string path = folder.path() + "/Survanto.cfg";
    for (const std::uintmax_t size : {std::uintmax_t(1) << 20, (std::uintmax_t(1) << 20) + 1, (std::uintmax_t(4) << 30) + 12})
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << "DebugMode 1\n";
        std::filesystem::resize_file(path, size);
        CSettingsRecorder settings;
        settings.SetPath(path.c_str());
        settings.SetMode(CDataRecorder::ModeHostFileText);
        const int loaded = settings.Load();
        EXPECT_EQ(loaded, size > (std::uintmax_t(1) << 20) ? CSettingsRecorder::LoadTooLarge : 0) << size;
        EXPECT_EQ(settings.FindKey("DebugMode"), loaded == 0 ? 2 : 0) << size;
    }
}

TEST(SettingsRecorder, MissingOrEmptyFilesDoNotLoad)
{
    TempFolder folder;
    const std::string empty = folder.path() + "/empty.cfg";
    std::ofstream(empty, std::ios::binary).flush();
    for (const std::string& path : {folder.path() + "/missing.cfg", empty, folder.path()})
    {
        CSettingsRecorder settings;
        settings.SetPath(path.c_str());
        settings.SetMode(CDataRecorder::ModeHostFileText);
        EXPECT_EQ(settings.Load(), 1) << path;
        EXPECT_EQ(settings.FindKey("DebugMode"), 0) << path;
    }
}

}  // namespace
