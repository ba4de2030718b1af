#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "InProcessHost.hpp"
#include "LanguageFile.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"

namespace
{

std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// What a translation must carry over unchanged: the caller's placeholders and
// the line breaks, both the real ones and those the list keeps as written.
const char* const keptParts[] = {"%s", "[FILEPATH]", "[LAYERNAME]", "[vnum1]", "[vnum2]", "[TAKEN]", "[SKIPPED]", "\r\n"};

constexpr std::int16_t PromptStringListId = 32560;

// Every string list of the German resources, as their source names them.
std::vector<std::int16_t> GermanStringLists()
{
    std::vector<std::int16_t> lists;
    std::ifstream source(SURVANTO_SOURCE_DIR "/resources/Survanto.grc");
    std::string line;
    while (std::getline(source, line))
        if (line.rfind("STR# ", 0) == 0) lists.push_back(static_cast<std::int16_t>(std::stoi(line.substr(5))));
    return lists;
}

class AlertStringListTest : public ::testing::Test
{
protected:
    InProcessHost host_;
    const LanguageFile english_ {"SurvantoInt.lng"};
    const LanguageFile french_ {"SurvantoFra.lng"};
};

}  // namespace

TEST_F(AlertStringListTest, EveryLanguageHoldsTheSameEntries)
{
    ASSERT_NE(english_.module(), 0);
    ASSERT_NE(french_.module(), 0);
    const RS::ResourceBundle* german = RS::GetModule(CurrentResourceModule());
    ASSERT_NE(german, nullptr);
    EXPECT_GE(german->GetStringCount(AlertStringListId), 112u);

    EXPECT_EQ(german->GetStringCount(PromptStringListId), 152u);

    const std::vector<std::int16_t> lists = GermanStringLists();
    EXPECT_GE(lists.size(), 28u);
    for (const std::int16_t list : lists)
    {
        const std::uint32_t count = german->GetStringCount(list);
        EXPECT_GT(count, 0u) << list;
        for (const LanguageFile* language : {&english_, &french_})
        {
            const RS::ResourceBundle* translated = RS::GetModule(language->module());
            ASSERT_NE(translated, nullptr);
            EXPECT_EQ(translated->GetStringCount(list), count) << list;
        }
    }
}

TEST_F(AlertStringListTest, TranslationsKeepPlaceholdersLineBreaksAndGaps)
{
    const GSResModule german = CurrentResourceModule();
    for (const std::int16_t list : GermanStringLists())
    {
        const std::uint32_t count = RS::GetModule(german)->GetStringCount(list);
        for (std::int16_t index = 1; index <= static_cast<std::int16_t>(count); ++index)
        {
            const std::string original = RS::GetIndString(list, index, german).ToUtf8();
            for (const LanguageFile* language : {&english_, &french_})
            {
                const std::string translated = RS::GetIndString(list, index, language->module()).ToUtf8();
                EXPECT_EQ(original.empty(), translated.empty()) << list << " entry " << index << ": " << translated;
                for (const char* part : keptParts)
                    EXPECT_EQ(CountOf(original, part), CountOf(translated, part))
                        << list << " entry " << index << ": " << translated;
            }
        }
    }
}

// The prompts the main palette names stand as written.
TEST_F(AlertStringListTest, ThePromptListHoldsTheNamedPrompts)
{
    const GSResModule german = CurrentResourceModule();
    const std::pair<std::int16_t, const char*> named[] = {
        {4, "Survanto Funktion wählen"},
        {22, "Nächsten Wandpunkt messen oder auf Ende/Verbinden klicken"},
        {81, "Türenaufschlagsrichtung messen (Scharnierseite abgeben)"},
        {87, "Polygonpunkt einmessen."},
        {115, "Messpunkt manual setzen"},
        {151, "Ersten Kante einmessen"},
    };
    for (const auto& [index, text] : named) EXPECT_EQ(RS::GetIndString(PromptStringListId, index, german).ToUtf8(), text);
    EXPECT_EQ(RS::GetIndString(PromptStringListId, 4, english_.module()).ToUtf8(), "Choose a Survanto function");
}
