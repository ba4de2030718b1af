#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "LanguageFile.hpp"
#include "RS/ResourceModule.hpp"

extern const std::uint8_t SurvantoResources[];
extern const std::size_t SurvantoResourcesSize;

namespace
{

struct DialogTexts
{
    std::string title;
    std::vector<DG::Item> items;
};

// The dialog as the dialog manager builds it from the module's resource.
DialogTexts ReadDialog(short dialogId, RS::ResModule module)
{
    DG::ForgetAllDialogs();
    const DG::Dialog* dialog = DG::GetDialog(dialogId, module);
    if (dialog == nullptr) return {};
    return {dialog->title.ToUtf8(), dialog->items};
}

std::string TextOf(const DialogTexts& dialog, short itemId)
{
    for (const auto& item : dialog.items)
        if (item.id == itemId) return item.text.ToUtf8();
    return "<no item " + std::to_string(itemId) + ">";
}

class DialogTextTest : public ::testing::Test
{
protected:
    void SetUp() override { german_ = RS::RegisterEmbeddedModule(SurvantoResources, SurvantoResourcesSize); }
    void TearDown() override
    {
        DG::ForgetAllDialogs();
        RS::CloseResourceModule(german_);
    }

    RS::ResModule german_ = 0;
    const LanguageFile english_ {"SurvantoInt.lng"};
    const LanguageFile french_ {"SurvantoFra.lng"};
};

constexpr short MainPalette = 32450;
constexpr short CurvePalette = 32425;
constexpr short LayerQuestion = 32550;
constexpr short Navigator = 32446;
constexpr short E57Panel = 32576;
constexpr short ImportPalette = 32465;

// Every dialog of the add-on, as the sources name them.
std::vector<short> GermanDialogs()
{
    std::vector<short> dialogs;
    for (const auto& file : std::filesystem::directory_iterator(SURVANTO_SOURCE_DIR "/resources/dialogs"))
    {
        std::ifstream source(file.path());
        std::string line;
        while (std::getline(source, line))
            if (line.rfind("DIALOG ", 0) == 0) dialogs.push_back(static_cast<short>(std::stoi(line.substr(7))));
    }
    return dialogs;
}

// Texts that read the same in every language.
const std::set<std::string> neutralTexts {
    "", "OK", "3D:", "2D:", "dZ:", "Z:", "Shot 3D", "Shot 2D", "Lock Created Elements", "Name:",
    // the debug palette's captions, English in every language
    "X:", "Y:", "Shot", "Get Coord XY", "Get Coord Z", "Shock", "Test function", "Get Coord 3D", "valami"};

}  // namespace

TEST_F(DialogTextTest, TranslatedDialogsKeepTheGermanItems)
{
    const std::vector<short> dialogs = GermanDialogs();
    for (const short named : {MainPalette, CurvePalette, LayerQuestion, Navigator, E57Panel, ImportPalette})
        EXPECT_EQ(std::count(dialogs.begin(), dialogs.end(), named), 1) << named;
    for (const short dialogId : dialogs)
    {
        const DialogTexts german = ReadDialog(dialogId, german_);
        for (const LanguageFile* language : {&english_, &french_})
        {
            const DialogTexts translated = ReadDialog(dialogId, language->module());
            EXPECT_EQ(translated.title.empty(), german.title.empty()) << dialogId;
            ASSERT_EQ(translated.items.size(), german.items.size()) << dialogId;
            for (std::size_t i = 0; i < german.items.size(); ++i)
            {
                const DG::Item& original = german.items[i];
                const DG::Item& item = translated.items[i];
                const std::string text = item.text.ToUtf8();
                SCOPED_TRACE(std::to_string(dialogId) + " item " + std::to_string(original.id) + ": " + text);
                EXPECT_EQ(item.id, original.id);
                EXPECT_EQ(item.type, original.type);
                EXPECT_EQ(item.value, original.value);
                EXPECT_EQ(item.group, original.group);
                EXPECT_EQ(item.entries.size(), original.entries.size());
                EXPECT_EQ(text.empty(), original.text.ToUtf8().empty());
                if (text == original.text.ToUtf8())
                {
                    EXPECT_EQ(neutralTexts.count(text), 1u) << "left in German";
                }
            }
        }
    }
}

// Every language gives each item of the main and the curve palette its tooltips,
// in the same order and under the same item names; the help index chooses among them.
TEST_F(DialogTextTest, EveryLanguageHasThePalettesTooltips)
{
    for (const auto& [palette, expectedCount] : {std::pair<short, std::size_t> {MainPalette, 122}, {CurvePalette, 24}})
    {
        const DialogTexts german = ReadDialog(palette, german_);
        std::size_t count = 0;
        for (const DG::Item& item : german.items)
        {
            EXPECT_FALSE(item.tooltips.empty()) << palette << " item " << item.id;
            count += item.tooltips.size();
        }
        EXPECT_EQ(count, expectedCount) << palette;
        for (const LanguageFile* language : {&english_, &french_})
        {
            const DialogTexts translated = ReadDialog(palette, language->module());
            ASSERT_EQ(translated.items.size(), german.items.size());
            for (std::size_t i = 0; i < german.items.size(); ++i)
            {
                const auto& original = german.items[i].tooltips;
                const auto& tooltips = translated.items[i].tooltips;
                ASSERT_EQ(tooltips.size(), original.size()) << palette << " item " << german.items[i].id;
                for (std::size_t t = 0; t < original.size(); ++t)
                {
                    EXPECT_EQ(tooltips[t].name, original[t].name);
                    EXPECT_EQ(tooltips[t].text.ToUtf8().empty(), original[t].text.ToUtf8().empty()) << tooltips[t].name;
                }
            }
        }
    }
    DG::ForgetAllDialogs();
    DG::GetDialog(MainPalette, german_);
    DG::SetItemHelpIndex(MainPalette, 14, 11);
    EXPECT_EQ(DG::GetItemTooltip(MainPalette, 14).ToUtf8(), "Dach über 3 Punkte einmessen");
    DG::SetItemHelpIndex(MainPalette, 19, 2);
    EXPECT_EQ(DG::GetItemTooltip(MainPalette, 19).ToUtf8(), "") << "beyond the item's tooltips";
}

TEST_F(DialogTextTest, EachLanguageShowsItsOwnTitleAndTexts)
{
    struct Expected
    {
        const LanguageFile* language;
        short dialogId;
        const char* title;
        short item;
        const char* text;
    };
    const Expected cases[] = {
        {&english_, LayerQuestion, "Survanto - Error!", 3, "Show layer"},
        {&english_, MainPalette, "Survanto  22.02 (24)", 1, "Align instrument"},
        {&english_, MainPalette, "Survanto  22.02 (24)", 48, "Reset"},
        {&french_, LayerQuestion, "Survanto - Erreur !", 2, "Annuler"},
        {&french_, MainPalette, "Survanto  22.02 (24)", 25, "Paramètres"},
        {&french_, MainPalette, "Survanto  22.02 (24)", 58, "Épaisseur de l'appui de fenêtre"},
        {&english_, ImportPalette, "VaroImport", 2, "Apply"},
        {&french_, ImportPalette, "VaroImport", 14, "Tout désactiver"},
    };
    for (const auto& c : cases)
    {
        const DialogTexts dialog = ReadDialog(c.dialogId, c.language->module());
        EXPECT_EQ(dialog.title, c.title);
        EXPECT_EQ(TextOf(dialog, c.item), c.text) << c.dialogId;
    }
    EXPECT_EQ(TextOf(ReadDialog(LayerQuestion, german_), 3), "Ebene sichtbar");
}

// The target-type pop-up: ten entries in every language, its separator kept.
TEST_F(DialogTextTest, EachLanguageNamesTheImportTargets)
{
    const char* const third[] = {"Ansicht", "Elevation", "Façade"};
    const char* const eighth[] = {"Schnitt erzeugen", "Create section", "Créer une coupe"};
    const RS::ResModule modules[] = {german_, english_.module(), french_.module()};
    for (int language = 0; language < 3; ++language)
    {
        const DialogTexts dialog = ReadDialog(ImportPalette, modules[language]);
        const auto item = std::find_if(dialog.items.begin(), dialog.items.end(), [](const DG::Item& i) { return i.id == 6; });
        ASSERT_NE(item, dialog.items.end());
        ASSERT_EQ(item->entries.size(), 10u) << language;
        EXPECT_EQ(item->entries[2].ToUtf8(), third[language]);
        EXPECT_EQ(item->entries[6].ToUtf8(), "-");
        EXPECT_EQ(item->entries[7].ToUtf8(), eighth[language]);
    }
}

namespace
{

struct RescompRun
{
    int exitCode;
    std::string errors;
};

const char* const smallDialog = "DIALOG 100 modal \"Frage\"\n"
                                "item 1 button \"Abbrechen\"\n"
                                "item 2 real value=3\n"
                                "item 3 popup \"Art\" value=2 entries=7|8\n"
                                "END\n";

class RescompTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& name, const std::string& content) const
    {
        const std::string path = folder_.path() + "/" + name;
        std::ofstream(path) << content;
        return path;
    }

    RescompRun Run(const std::string& out, const std::vector<std::string>& inputs) const
    {
        const std::string errorFile = folder_.path() + "/errors.txt";
        std::string command = "\"" RESCOMP_PATH "\" --bundle \"" + out + "\"";
        for (const auto& input : inputs) command += " \"" + input + "\"";
        const int status = std::system((command + " 2>\"" + errorFile + "\"").c_str());
        std::ostringstream errors;
        errors << std::ifstream(errorFile).rdbuf();
        return {status, errors.str()};
    }

    // The small dialog bundled with the texts given, and dialog 100 read back from the bundle.
    void BundleSmallDialogWith(const char* texts, DialogTexts& dialog)
    {
        const std::string out = folder_.path() + "/out.lng";
        const RescompRun run = Run(out, {Write("dialog.grc", smallDialog), Write("texts.grc", texts)});
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        const RS::ResModule module = RS::OpenResourceFile(out);
        ASSERT_NE(module, 0);
        dialog = ReadDialog(100, module);
        DG::ForgetAllDialogs();
        RS::CloseResourceModule(module);
    }

    TempFolder folder_;
};

}  // namespace

TEST_F(RescompTest, DialogTextReplacesTitleAndTextsOnly)
{
    DialogTexts dialog;
    ASSERT_NO_FATAL_FAILURE(BundleSmallDialogWith("DIALOGTEXT 100 \"Question\"\n"
                                                  "item 2 \"Height\"\n"
                                                  "item 3 \"Kind\"\n"
                                                  "END\n",
                                                  dialog));
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.title, "Question");
    EXPECT_EQ(dialog.items[0].text.ToUtf8(), "Abbrechen");
    EXPECT_EQ(dialog.items[1].text.ToUtf8(), "Height");
    EXPECT_EQ(dialog.items[1].type, "real");
    EXPECT_EQ(dialog.items[1].value, 3.0);
    EXPECT_EQ(dialog.items[2].text.ToUtf8(), "Kind");
    EXPECT_EQ(dialog.items[2].value, 2.0);
    EXPECT_EQ(dialog.items[2].entries, (std::vector<GS::UniString> {GS::UniString("7"), GS::UniString("8")}));
}

TEST_F(RescompTest, DialogTextReplacesPopupEntries)
{
    DialogTexts dialog;
    ASSERT_NO_FATAL_FAILURE(BundleSmallDialogWith("DIALOGTEXT 100 \"Question\"\n"
                                                  "item 3 \"Kind\" entries=\"seven up|eight\"\n"
                                                  "END\n",
                                                  dialog));
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[2].text.ToUtf8(), "Kind");
    EXPECT_EQ(dialog.items[2].value, 2.0);
    EXPECT_EQ(dialog.items[2].entries, (std::vector<GS::UniString> {GS::UniString("seven up"), GS::UniString("eight")}));
}

TEST_F(RescompTest, BadDialogTextFailsNamingFileAndLine)
{
    struct Case
    {
        const char* texts;
        const char* where;
        const char* message;
    };
    const Case cases[] = {
        {"# no such dialog\nDIALOGTEXT 200 \"T\"\nitem 1 \"x\"\nEND\n", "texts.grc:2:", "dialog 200"},
        {"DIALOGTEXT 100 \"T\"\nitem 1 \"Cancel\"\nitem 9 \"x\"\nEND\n", "texts.grc:3:", "no item 9"},
        {"DIALOGTEXT 100 \"T\"\nitem 1 \"Cancel\"\n", "texts.grc:2:", "without END"},
        {"DIALOGTEXT 100 \"T\"\nitem 1 \"Cancel\n", "texts.grc:2:", "unterminated"},
        {"DIALOGTEXT 100 \"T\"\nitem 1 button \"Cancel\"\nEND\n", "texts.grc:2:", "quoted text"},
        {"DIALOGTEXT 100\nEND\n", "texts.grc:1:", "quoted text"},
        {"DIALOGTEXT 100 \"T\"\nitem 3 \"Kind\" entries=7|8\nEND\n", "texts.grc:2:", "quoted text"},
        {"DIALOGTEXT 100 \"T\"\nitem 3 \"Kind\" value=1\nEND\n", "texts.grc:2:", "after the text"},
        {"TOOLTIPS 100 \"DLG_100\"\n1 \"Abbrechen\" \"Button_1\"\n", "texts.grc:2:", "without END"},
        {"TOOLTIPS 100 \"DLG_100\"\n1 \"Abbrechen\"\nEND\n", "texts.grc:2:", "quoted text"},
        {"TOOLTIPS 100 \"DLG_100\"\nitem 1 \"Abbrechen\" \"Button_1\"\nEND\n", "texts.grc:2:", "item id"},
        {"TOOLTIPS 100 \"DLG_100\"\n1 \"Abbrechen\" \"Button_1\" 7\nEND\n", "texts.grc:2:", "after the item name"},
    };
    const std::string dialog = Write("dialog.grc", smallDialog);
    for (const auto& c : cases)
    {
        const std::string out = folder_.path() + "/bad.lng";
        const RescompRun run = Run(out, {dialog, Write("texts.grc", c.texts)});
        EXPECT_NE(run.exitCode, 0) << c.texts;
        EXPECT_NE(run.errors.find(c.where), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_FALSE(std::ifstream(out).good()) << c.texts;
    }
}

// The pet palette's drawing methods show icons drawn into the module: 20 x 18
// pixels each, an outline with its corners on a clear ground, each its own.
TEST_F(DialogTextTest, ThePolygonInputMethodsShowTheirDrawnIcons)
{
    const DialogTexts pet = ReadDialog(32445, german_);
    std::set<std::vector<std::uint8_t>> drawings;
    for (const short item : {1, 2, 3})
    {
        SCOPED_TRACE(item);
        const auto found = std::find_if(pet.items.begin(), pet.items.end(), [item](const DG::Item& i) { return i.id == item; });
        ASSERT_NE(found, pet.items.end());
        std::vector<std::uint8_t> icon;
        ASSERT_TRUE(RS::GetResourceData(RS::IconType, found->icon, german_, icon));
        ASSERT_EQ(icon.size(), 4u + 20 * 18 * 4);
        EXPECT_EQ(icon[0] | icon[1] << 8, 20);
        EXPECT_EQ(icon[2] | icon[3] << 8, 18);
        std::size_t clear = 0, ink = 0;
        for (std::size_t p = 4; p < icon.size(); p += 4) (icon[p + 3] == 0 ? clear : ink)++;
        EXPECT_GT(ink, 40u);
        EXPECT_GT(clear, ink);
        drawings.insert(icon);
    }
    EXPECT_EQ(drawings.size(), 3u);
}
