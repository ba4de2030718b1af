#include <functional>
#include <string>
#include <vector>

#include "ProfileLibrary.hpp"
#include "SectionPaletteFixture.hpp"

// Profiles taken over from the host's profile library through the import dialog.

namespace
{

constexpr short ImportDialog = 32428;
constexpr short AvailableList = 4;
constexpr short AvailablePreview = 6;
constexpr short AddButton = 7;
constexpr short RemoveButton = 8;
constexpr short ChosenList = 10;
constexpr short ChosenPreview = 12;
constexpr short FromLibrary = 3;

class ProfileImportTest : public SectionPaletteTest
{
protected:
    // A profile attribute of one square of the side, with a line across it; no
    // side: a profile whose drawing cannot be read.
    void AddLibraryProfile(const char* name, double side)
    {
        auto& content = Model().content;
        std::int16_t index = 1;
        while (content.attributes.count({API_ProfileID, index}) != 0) ++index;
        API_Attribute profile {};
        profile.header.typeID = API_ProfileID;
        profile.header.index = index;
        std::snprintf(profile.header.name, API_AttrNameLen, "%s", name);
        content.attributes[{API_ProfileID, index}] = profile;
        if (side <= 0.0) return;
        VectorImage drawing;
        HatchObject hatch;
        hatch.SetPolygonGeometry({{}, {0, 0}, {side, 0}, {side, side}, {0, side}, {0, 0}}, {}, {0, 5});
        drawing.AddHatchRec(Sy_HatchType {}, hatch);
        Sy_LinType line;
        line.endC = {side, side};
        drawing.AddLine(line);
        content.profileDrawings[index] = drawing;
    }
    void ClearLibrary()
    {
        auto& attributes = Model().content.attributes;
        for (auto it = attributes.begin(); it != attributes.end();)
            it = it->first.first == API_ProfileID ? attributes.erase(it) : ++it;
        Model().content.profileDrawings.clear();
    }

    // Runs the import dialog from the palette's pop-up with the user's steps.
    void Import(std::function<void()> steps, short closing = DG::Accept)
    {
        DG::SetModalAnswerer([steps, closing](DG::Dialog&) {
            steps();
            return closing;
        });
        DG::ChangeItem(PaletteDialog, 6, FromLibrary);
    }

    static std::vector<std::string> Entries(short list)
    {
        std::vector<std::string> entries;
        for (short i = 1; i <= DG::ListViewGetItemCount(ImportDialog, list); ++i)
            entries.push_back(DG::ListViewGetItemText(ImportDialog, list, i).ToUtf8());
        return entries;
    }
    static void Choose(short entry)
    {
        DG::ChangeItem(ImportDialog, AvailableList, entry);
        DG::ClickItem(ImportDialog, AddButton);
    }
    std::vector<std::string> ChosenNames()
    {
        std::vector<std::string> names;
        for (const GS::UniString& name : Profiles().importDialog.chosenNames) names.push_back(name.ToUtf8());
        return names;
    }
};

TEST_F(ProfileImportTest, TheLibraryIsListedOnceByNameAndWithoutUnreadableDrawings)
{
    ClearLibrary();
    AddLibraryProfile("Sockel", 1);
    AddLibraryProfile("Gesims", 2);
    AddLibraryProfile("Sockel", 3);
    AddLibraryProfile("Leer", 0);
    std::vector<std::string> listed;
    Import([&] { listed = Entries(AvailableList); }, DG::Cancel);
    EXPECT_EQ(listed, (std::vector<std::string> {"Gesims", "Sockel"}));
    Import([&] { listed = Entries(AvailableList); }, DG::Cancel);
    EXPECT_EQ(listed, (std::vector<std::string> {"Gesims", "Sockel"})) << "a second opening lists each once";
    const SectionACPalette& dialog = Profiles().importDialog;
    ASSERT_EQ(dialog.availableImages.GetSize(), 2u);
    Geometry::Box2DData box;
    dialog.availableImages[1].GetBounds(&box);
    EXPECT_EQ(box.xMax, 1.0) << "the lower index wins a name";
    for (ConstVectorImageIterator it(dialog.availableImages[0]); !it.IsEOI(); ++it)
        EXPECT_NE(it.GetItemType(), SyLine) << "lines are dropped";
}

TEST_F(ProfileImportTest, ChosenProfilesAreUniqueByDrawingAndNameAndReachThePaletteOnOk)
{
    ClearLibrary();
    AddLibraryProfile("Bogen", 1);
    AddLibraryProfile("Anker", 2);
    AddLibraryProfile("Zwilling", 1);  // the same drawing as "Bogen"
    std::vector<std::string> chosen;
    Import(
        [&] {
            Choose(2);
            Choose(2);
            Choose(1);
            Choose(3);
            chosen = Entries(ChosenList);
        },
        DG::Cancel);
    EXPECT_EQ(chosen, (std::vector<std::string> {"Anker", "Bogen"}));
    EXPECT_TRUE(Names().empty()) << "cancelled";
    EXPECT_EQ(ChosenNames(), (std::vector<std::string> {"Anker", "Bogen"})) << "kept for the next opening";

    Measure("Anker");
    Import([] {
        DG::ChangeItem(ImportDialog, ChosenList, 1);
        DG::ClickItem(ImportDialog, RemoveButton);
        Choose(1);
    });
    EXPECT_EQ(Names(), (std::vector<std::string> {"Anker", "Bogen"})) << "a name already listed is left out";
    EXPECT_TRUE(ChosenNames().empty()) << "OK empties the chosen list";
    ASSERT_EQ(Profiles().profileImages.GetSize(), 2u);
    Geometry::Box2DData box;
    Profiles().profileImages[0].GetBounds(&box);
    EXPECT_EQ(box.xMax, 1.0) << "the measured Anker keeps its drawing";
}

TEST_F(ProfileImportTest, BothPreviewsDrawTheirSelectedProfile)
{
    ClearLibrary();
    AddLibraryProfile("Anker", 2);
    const NewDisplay::NativeImage* available = nullptr;
    const NewDisplay::NativeImage* chosenBefore = nullptr;
    bool chosenDrawn = false;
    Import(
        [&] {
            chosenBefore = DG::UpdateUserItem(ImportDialog, ChosenPreview);
            ASSERT_NE(chosenBefore, nullptr);
            EXPECT_EQ(chosenBefore->GetPixel(100, 75).alpha, 0) << "nothing chosen";
            Choose(1);
            available = DG::UpdateUserItem(ImportDialog, AvailablePreview);
            ASSERT_NE(available, nullptr);
            EXPECT_EQ(available->GetWidth(), 200u);
            EXPECT_EQ(available->GetHeight(), 150u);
            EXPECT_EQ(available->GetPixel(2, 2), Gfx::Color(255, 255, 255));
            DG::ChangeItem(ImportDialog, ChosenList, 1);
            chosenDrawn = DG::UpdateUserItem(ImportDialog, ChosenPreview)->GetPixel(2, 2) == Gfx::Color(255, 255, 255);
        },
        DG::Cancel);
    EXPECT_TRUE(chosenDrawn);
}

}  // namespace
