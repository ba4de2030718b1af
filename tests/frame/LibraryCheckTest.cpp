#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "DG/DG.hpp"
#include "LibraryServices.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"

namespace
{

constexpr short MainPalette = Survanto::MainPaletteDialogId;
constexpr std::int32_t LibraryChanged = 0x200000;
constexpr const char* VersionPartId = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{CE7708ED-B319-4A93-9422-0E3411D692F7}";

std::string VersionPartWith(const std::string& versionLine)
{
    std::ifstream in(std::string(SURVANTO_SOURCE_DIR) + "/resources/library/Survanto Version.gsm", std::ios::binary);
    std::string text {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string shipped = "  version \"Bibliotheksversion\" integer 6\n";
    const std::size_t at = text.find(shipped);
    EXPECT_NE(at, std::string::npos);
    return text.replace(at, shipped.size(), versionLine);
}

class LibraryCheck : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        Host().SelectTool(API_WallID, 0);
        OpenMainPalette();
        DG::ClearRecordedAlerts();
    }

    void OpenMainPalette()
    {
        for (const auto& [menu, handler] : Host().menuHandlers_)
            if (menu == 32500)
            {
                API_MenuParams params;
                params.menuResID = 32500;
                params.itemIndex = 1;
                handler(&params);
            }
        ASSERT_TRUE(DG::IsOpen(MainPalette));
    }

    // A library folder named as the add-on's, with a version part of its own.
    void LoadLibraryWithVersionLine(const std::string& versionLine)
    {
        const std::string library = folder_.path() + "/Survanto Library";
        std::filesystem::create_directory(library);
        std::ofstream(library + "/Survanto Version.gsm", std::ios::binary) << VersionPartWith(versionLine);
        std::string error;
        ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), library, error)) << error;
    }

    std::string AlertTexts() const
    {
        std::string texts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts())
            texts += "[" + alert.title.ToUtf8() + ": " + alert.text1.ToUtf8() + "]";
        return texts;
    }

    TempFolder folder_;
};

const std::string Newer =
    "Achtung! Die in diesem Projekt verwendeten Survanto Objekte sind neuer als das laufende Survanto Add-On. "
    "Bitte aktualisieren Sie Ihr Survanto Add-On!";
const std::string OutdatedSolo =
    "Achtung! Die in diesem Projekt verwendeten Survanto Objekte sind veraltet. Bitte entfernen Sie die "
    "veraltete Survanto Bibliothek im Bibliothekenmanager. Das Survanto Add-On wird anschließend die "
    "aktuellen Survanto Objekte einladen.";
const std::string OutdatedTeamwork =
    "Achtung! Die in diesem Projekt verwendeten Survanto Objekte sind veraltet. Tauschen Sie bitte die Survanto Bibliothek auf "
    "dem "
    "BIM Server mit der aktuellen Version aus.\r\nWählen Sie dazu im Menü Ablage/Bibliothekenmanager den Befehl "
    "\"BIM-Server-Bibliotheken verwalten...\" Die aktuelle Version finden Sie im Add-On Ordner unter Survanto.";

}  // namespace

struct VersionCase
{
    const char* label;
    std::string versionLine;
    bool teamwork;
    std::int16_t state;
    std::string alertText;
};

class LibraryVersions : public LibraryCheck, public ::testing::WithParamInterface<VersionCase>
{};

TEST_P(LibraryVersions, TheVersionPartDecidesWhetherTheAddOnIsBlocked)
{
    const VersionCase& c = GetParam();
    if (c.teamwork) Host().project_.teamwork.SetCurrentUser(1, "anna");
    LoadLibraryWithVersionLine(c.versionLine);

    EXPECT_EQ(Main().blockedState, c.state);
    EXPECT_EQ(AlertTexts(), c.alertText.empty() ? "" : "[Survanto - Warnung!: " + c.alertText + "]");
    EXPECT_EQ(DG::IsOpen(MainPalette), c.state == 0);
    EXPECT_EQ(Model().libraryFolders.size(), 1u) << "the project's own library is kept, nothing added";
}

INSTANTIATE_TEST_SUITE_P(
    LibraryCheck, LibraryVersions,
    ::testing::Values(VersionCase {"Version6", "  version \"Bibliotheksversion\" integer 6\n", false, 0, ""},
                      VersionCase {"Version7", "  version \"Bibliotheksversion\" integer 7\n", false, 1, Newer},
                      VersionCase {"Version5Solo", "  version \"Bibliotheksversion\" integer 5\n", false, 3, OutdatedSolo},
                      VersionCase {"Version5Teamwork", "  version \"Bibliotheksversion\" integer 5\n", true, 2, OutdatedTeamwork},
                      VersionCase {"NoVersionParameter", "", false, 3, OutdatedSolo}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(LibraryCheck, WithoutTheLibraryTheOneBesideTheAddOnIsAdded)
{
    Host().FireProjectEvent(LibraryChanged);
    EXPECT_EQ(Main().blockedState, 0);
    EXPECT_EQ(AlertTexts(), "");
    ASSERT_EQ(Model().libraryFolders.size(), 1u);
    EXPECT_EQ(std::filesystem::path(Model().libraryFolders.front().path).filename(), "Survanto Library");
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", VersionPartId);
    EXPECT_EQ(HostSearchLibraryPart(&part), NoError) << "the version part came with it";
    EXPECT_TRUE(DG::IsOpen(MainPalette));
}

TEST_F(LibraryCheck, AFolderOfThatNameWithoutItsVersionPartIsOutdated)
{
    const std::string library = folder_.path() + "/Survanto Library";
    std::filesystem::create_directory(library);
    std::string error;
    ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), library, error)) << error;
    EXPECT_EQ(Main().blockedState, 3);
    EXPECT_EQ(Model().libraryFolders.size(), 1u);
}

TEST_F(LibraryCheck, ACheckAfterABlockedOneReturnsToUsableWithoutReopeningPalettes)
{
    LoadLibraryWithVersionLine("  version \"Bibliotheksversion\" integer 7\n");
    ASSERT_EQ(Main().blockedState, 1);
    ASSERT_FALSE(DG::IsOpen(MainPalette));
    for (auto& [index, part] : Model().libraryParts)
        for (API_AddParType& parameter : part.params)
            if (std::string(parameter.name) == "version") parameter.value = 6;
    DG::ClearRecordedAlerts();

    Host().FireProjectEvent(LibraryChanged);
    EXPECT_EQ(Main().blockedState, 0);
    EXPECT_EQ(AlertTexts(), "");
    EXPECT_FALSE(DG::IsOpen(MainPalette));
}
