#include <gtest/gtest.h>

#include <filesystem>

#include "DG/DG.hpp"
#include "LibraryServices.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "pointclouds/E57OpenFilePanel.hpp"

namespace fs = std::filesystem;

namespace
{

constexpr short Panel = E57OpenFilePanel::PanelId;

DG::PanelAction Action(DG::PanelAction::Kind kind, short item, double value = 0.0)
{
    DG::PanelAction action;
    action.kind = kind;
    action.item = item;
    action.value = value;
    return action;
}

class E57Panel : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        std::string error;
        // The add-on's own library, read-only as the installation has it.
        ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), OwnLibraryFolder(), error, true)) << error;
        dialog_ = std::make_unique<DG::FileDialog>(DG::FileDialog::OpenMultiFile);
        panel_ = std::make_unique<E57OpenFilePanel>(*dialog_, Panel);
    }
    void TearDown() override
    {
        panel_.reset();
        dialog_.reset();
        MainObjectFixture::TearDown();
    }

    // Shows the dialog with the panel; the user chooses the files, acts and cancels.
    void Show(const std::vector<std::string>& files, const std::vector<DG::PanelAction>& actions = {})
    {
        std::vector<IO::Location> chosen;
        for (const std::string& file : files) chosen.emplace_back(folder_.path() + "/" + file);
        DG::QueueOpenAnswer(false, chosen);
        for (const DG::PanelAction& action : actions) DG::AddPanelAction(action);
        dialog_->Invoke();
    }

    std::string Library(const std::string& name, bool readOnly = false)
    {
        const std::string path = folder_.path() + "/" + name;
        fs::create_directories(path);
        std::string error;
        EXPECT_TRUE(SimHost::LoadLibraryFolder(Host(), path, error, readOnly)) << error;
        return path;
    }

    std::vector<std::string> Entries(short item)
    {
        std::vector<std::string> entries;
        for (short e = 1; e <= DG::PopupGetItemCount(Panel, item); ++e)
            entries.push_back(DG::PopupGetItemText(Panel, item, e).ToUtf8() + "=" +
                              std::to_string(DG::PopupGetItemData(Panel, item, e)));
        return entries;
    }

    TempFolder folder_;
    std::unique_ptr<DG::FileDialog> dialog_;
    std::unique_ptr<E57OpenFilePanel> panel_;
};

TEST_F(E57Panel, StartsWithTheOptionsOfTheTableAndShowsThem)
{
    panel_->targetFolder = IO::Location(std::string("/somewhere/Point Cloud"));
    Show({});
    EXPECT_EQ(DG::GetItemText(Panel, 2).ToUtf8(), "/somewhere/Point Cloud");
    EXPECT_EQ(DG::GetItemValue(Panel, 12), 1.0);
    EXPECT_EQ(DG::GetItemValue(Panel, 14), 1.0);
    EXPECT_EQ(DG::GetItemValue(Panel, 15), 1.0);
    EXPECT_EQ(DG::GetItemValue(Panel, 17), 6.0);
    EXPECT_EQ(DG::GetItemValue(Panel, 19), 12.0);
    EXPECT_EQ(DG::GetItemValue(Panel, 21), 36.0);
    EXPECT_DOUBLE_EQ(DG::GetItemMinDouble(Panel, 19), 6.1);
    EXPECT_DOUBLE_EQ(DG::GetItemMinDouble(Panel, 21), 12.1);
    EXPECT_TRUE(panel_->originAtProjectOrigin);
    EXPECT_EQ(panel_->storeyIndex, 0);
    EXPECT_EQ(DG::GetDialog(Panel)->title.ToUtf8(), "Template file");
}

TEST_F(E57Panel, TheNameFollowsTheSelectionAndCanBeTypedForOneFile)
{
    Show({"Halle.e57"});
    EXPECT_EQ(panel_->partName.ToUtf8(), "Halle");
    EXPECT_TRUE(DG::IsItemEnabled(Panel, 6));
    DG::PanelAction typed = Action(DG::PanelAction::Text, 6);
    typed.text = GS::UniString("Nordhalle");
    Show({"Halle.e57"}, {typed});
    EXPECT_EQ(panel_->partName.ToUtf8(), "Nordhalle");
    Show({"Halle.e57", "Keller.e57"});
    EXPECT_FALSE(DG::IsItemEnabled(Panel, 6));
    EXPECT_EQ(panel_->partName.ToUtf8(), "Halle");
    Show({"Halle.e57", "Keller.e57"}, {typed});
    EXPECT_EQ(DG::RecordedOpenDialogs().back().refused, std::vector<std::string> {"text of item 6"});
}

TEST_F(E57Panel, StoreysAreNumberedAsTheHostNumbersThem)
{
    Model().content.storeyLevels = {{-1, -3.0}, {0, 0.0}, {1, 3.0}};
    Model().content.storeyNames = {{-1, "UG"}, {0, "EG"}, {1, "OG"}};
    Show({});
    EXPECT_EQ(Entries(11), (std::vector<std::string> {"-1 UG=-1", "0 EG=0", "1 OG=1"}));
    EXPECT_EQ(DG::GetItemValue(Panel, 11), 0.0);
    Model().storeysNumberedFromOne = true;
    Show({}, {Action(DG::PanelAction::Value, 11, 3)});
    EXPECT_EQ(Entries(11), (std::vector<std::string> {"-1 UG=-1", "1 EG=0", "2 OG=1"}));
    EXPECT_EQ(panel_->storeyIndex, 1);
}

// The usable libraries by their index in the host's list (the embedded library, the
// add-on's own and the templates come first), then the project's own folder;
// choosing an entry makes it the target folder.
TEST_F(E57Panel, TheLibraryMenuOffersTheUsableLibrariesAndTheProjectFolder)
{
    Library("Templates", true);
    const std::string scans = Library("Scans");
    Model().projectFile = folder_.path() + "/Projekt.pln";
    const std::string own = Library("Point Cloud");
    Show({}, {Action(DG::PanelAction::Value, 3, 1)});
    EXPECT_EQ(Entries(3), (std::vector<std::string> {"Scans=3", "Punktwolke Ordner (neben Einzelplatzdatei)=-1"}));
    EXPECT_EQ(panel_->targetFolder.ToPath(), scans);
    EXPECT_EQ(DG::GetItemText(Panel, 2).ToUtf8(), scans);
    Show({}, {Action(DG::PanelAction::Value, 3, 2)});
    EXPECT_EQ(panel_->targetFolder.ToPath(), own);
}

TEST_F(E57Panel, TheBrowseButtonChoosesAFolder)
{
    panel_->targetFolder = IO::Location(std::string("/start"));
    DG::QueueFolderCancel();
    Show({}, {Action(DG::PanelAction::Click, 4)});
    EXPECT_EQ(panel_->targetFolder.ToPath(), "/start");
    DG::QueueFolderAnswer(IO::Location(std::string("/chosen")));
    Show({}, {Action(DG::PanelAction::Click, 4)});
    EXPECT_EQ(panel_->targetFolder.ToPath(), "/chosen");
    EXPECT_EQ(DG::GetItemText(Panel, 2).ToUtf8(), "/chosen");
    EXPECT_EQ(DG::RecordedFolderDialogs().back().start.ToPath(), "/start");
    EXPECT_TRUE(DG::RecordedFolderDialogs().back().title.IsEmpty());
}

TEST_F(E57Panel, ChecksRadiosAndDistancesSetTheOptions)
{
    Show({}, {Action(DG::PanelAction::Click, 9), Action(DG::PanelAction::Click, 12), Action(DG::PanelAction::Value, 17, 20)});
    EXPECT_FALSE(panel_->originAtProjectOrigin);
    EXPECT_FALSE(panel_->lockElements);
    // How an edit treats a value below its minimum is the host's: this one keeps it.
    EXPECT_EQ(panel_->distance75, 20.0);
    EXPECT_DOUBLE_EQ(DG::GetItemMinDouble(Panel, 19), 20.1);
    EXPECT_EQ(panel_->distance50, 12.0);
    Show({}, {Action(DG::PanelAction::Click, 8)});
    EXPECT_TRUE(panel_->originAtProjectOrigin);
}

TEST_F(E57Panel, ThinningItemsFollowTheirChecks)
{
    const struct
    {
        std::vector<short> clicks;
        bool thinOut, byDistance, item15, distances;
    } cases[] = {
        {{14}, false, true, false, false},      {{14, 14}, true, true, true, true},       {{15}, true, false, true, false},
        {{15, 14}, false, false, false, false}, {{15, 14, 14}, true, false, true, false},
    };
    for (const auto& c : cases)
    {
        panel_ = std::make_unique<E57OpenFilePanel>(*dialog_, Panel);
        std::vector<DG::PanelAction> clicks;
        for (const short item : c.clicks) clicks.push_back(Action(DG::PanelAction::Click, item));
        Show({}, clicks);
        EXPECT_EQ(panel_->thinOut, c.thinOut);
        EXPECT_EQ(panel_->thinByDistance, c.byDistance);
        EXPECT_EQ(DG::IsItemEnabled(Panel, 15), c.item15);
        for (const short item : {17, 19, 21}) EXPECT_EQ(DG::IsItemEnabled(Panel, item), c.distances) << item;
        DG::EnableItem(Panel, DG::AllItems);
    }
}

TEST_F(E57Panel, WideningMovesTheFolderRowAndStretchesTheSeparators)
{
    Show({});
    const DG::Rect folder = DG::GetItemRect(Panel, 2), menu = DG::GetItemRect(Panel, 3), browse = DG::GetItemRect(Panel, 4),
                   first = DG::GetItemRect(Panel, 13), last = DG::GetItemRect(Panel, 22), name = DG::GetItemRect(Panel, 6);
    DG::PanelAction resize = Action(DG::PanelAction::Resize, 0);
    resize.dx = 40;
    resize.dy = 10;
    Show({}, {resize});
    EXPECT_EQ(DG::GetItemRect(Panel, 2).right, folder.right + 40);
    EXPECT_EQ(DG::GetItemRect(Panel, 3).left, menu.left + 40);
    EXPECT_EQ(DG::GetItemRect(Panel, 4).left, browse.left + 40);
    EXPECT_EQ(DG::GetItemRect(Panel, 13).right, first.right + 40);
    EXPECT_EQ(DG::GetItemRect(Panel, 22).right, last.right + 40);
    EXPECT_EQ(DG::GetItemRect(Panel, 6).right, name.right);
    EXPECT_EQ(DG::GetItemRect(Panel, 2).top, folder.top);
}

// Where the import puts its parts before the user chooses.
class E57DefaultFolder : public E57Panel
{};

TEST_F(E57DefaultFolder, IsTheHostsLibraryTheProjectsFolderOrTheFirstUsableLibrary)
{
    Library("Templates", true);
    DG::QueueOpenAnswer(false, {});
    Main().ImportE57File();
    EXPECT_EQ(DG::GetItemText(Panel, 2).ToUtf8(), Host().WorkFolder() + "/ARCHICAD Library 22");
    const std::string scans = Library("Scans");
    DG::QueueOpenAnswer(false, {});
    Main().ImportE57File();
    EXPECT_EQ(DG::GetItemText(Panel, 2).ToUtf8(), scans);
    Model().projectFile = folder_.path() + "/Projekt.pln";
    DG::QueueOpenAnswer(false, {});
    Main().ImportE57File();
    EXPECT_EQ(DG::GetItemText(Panel, 2).ToUtf8(), folder_.path() + "/Point Cloud");
    const DG::FileDialogShown& shown = DG::RecordedOpenDialogs().back();
    EXPECT_EQ(shown.title.ToUtf8(), "Importiere e57 Datei");
    EXPECT_EQ(shown.type, DG::FileDialog::OpenMultiFile);
    EXPECT_TRUE(shown.preview);
    EXPECT_EQ(shown.filters.size(), 1u);
    EXPECT_EQ(shown.filters[0].ToUtf8(), "e57 Punktwolke Datei: e57 Punktwolke Datei (*.e57)");
}

}  // namespace
