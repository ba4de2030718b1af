#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "API/AddOnInterface.hpp"
#include "InProcessHost.hpp"
#include "LibraryServices.hpp"
#include "MarkerSupport.hpp"
#include "ProjectFile.hpp"

namespace
{

constexpr char PartId[] = "{8E1A2B3C-0000-4000-8000-00000000A001}-{8E1A2B3C-0000-4000-8000-00000000B002}";

void WritePart(const std::string& folder, const std::string& name, const std::string& text)
{
    std::ofstream(folder + "/" + name, std::ios::binary) << text;
}

std::string Part(const std::string& parameters)
{
    return std::string("GDL object \"Teil\"\nunique-id ") + PartId + "\nparameters\n" + parameters + "end\n";
}

class LibraryFolder : public ::testing::Test
{
protected:
    SimHost::Host& Host() { return host_->host(); }

    std::unique_ptr<InProcessHost> host_ = std::make_unique<InProcessHost>();
};

}  // namespace

// The add-on's own library: its parts found by unique id, with their defaults.
TEST_F(LibraryFolder, TheAddOnsLibraryIsFoundByUniqueId)
{
    LoadOwnLibrary(Host());
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s",
                  "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{CE7708ED-B319-4A93-9422-0E3411D692F7}");
    ASSERT_EQ(HostSearchLibraryPart(&part), NoError);
    EXPECT_EQ(part.name.ToUtf8(), "Survanto Version");
    double a = 0, b = 0;
    std::vector<API_AddParType> params;
    ASSERT_EQ(HostGetLibraryPartParameters(part.index, &a, &b, &params), NoError);
    EXPECT_EQ(a, 0.1);
    ASSERT_EQ(params.size(), 3u);
    EXPECT_STREQ(params[2].name, "version");
    EXPECT_EQ(params[2].typeID, APIParT_Integer);
    EXPECT_EQ(params[2].value, 6.0);

    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s",
                  "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{00000000-B319-4A93-9422-0E3411D692F7}");
    EXPECT_EQ(HostSearchLibraryPart(&part), NoError) << "another revision finds the part by its main GUID";
    EXPECT_EQ(part.name.ToUtf8(), "Survanto Messpunkt") << "the first part of that main GUID";
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s",
                  "{00000000-2D30-426D-B5E1-C290A9528079}-{CE7708ED-B319-4A93-9422-0E3411D692F7}");
    EXPECT_NE(HostSearchLibraryPart(&part), NoError) << "another main GUID is another part";
    EXPECT_NE(HostGetLibraryPartParameters(99, &a, &b, &params), NoError);
}

// A part added on its own and the parts of a library folder are one library:
// each service finds both, by index or by unique id.
TEST_F(LibraryFolder, AddedAndLoadedPartsAreOneLibrary)
{
    Host().model_.libraryParts[9].uniqueId = PartId;
    Host().model_.libraryParts[9].version = 32;
    LoadOwnLibrary(Host());
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", PartId);
    ASSERT_EQ(HostSearchLibraryPart(&part), NoError);
    EXPECT_EQ(part.index, 9);
    EXPECT_EQ(part.version, 32);

    API_LibPart loaded;
    loaded.index = 10;
    ASSERT_EQ(HostGetLibraryPart(&loaded), NoError) << "the folder's parts follow the highest index";
    EXPECT_EQ(loaded.name.ToUtf8(), "Survanto Messpunkt");
    EXPECT_STREQ(loaded.uniqueId, "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{FE5C8B03-8CAB-48E2-92B7-DBE442FC35BB}");
    EXPECT_EQ(loaded.version, 0);
}

// Loading again adds nothing twice; the add-on hears of every change.
TEST_F(LibraryFolder, LoadingAgainKeepsEachPartOnce)
{
    LoadOwnLibrary(Host());
    const std::string first = Host().Fact("library-parts");
    LoadOwnLibrary(Host());
    EXPECT_EQ(Host().Fact("library-parts"), first);
    EXPECT_EQ(Host().model_.libraryParts.size(), 5u);
}

// A folder with one broken part file loads nothing and names the file and line.
TEST_F(LibraryFolder, ABrokenPartFileLoadsNothing)
{
    const struct
    {
        const char* label;
        std::string text;
        std::string error;
    } cases[] = {
        {"unknown kind", Part("  A \"Breite\" colour 1\n"), "b.gsm:4: unknown parameter kind 'colour'"},
        {"no number", Part("  A \"Breite\" length 1,5\n"), "b.gsm:4: '1,5' is no number"},
        {"unquoted string", Part("  s \"Text\" string abc\n"), "b.gsm:4: a string parameter's value is quoted"},
        {"open quote", Part("  s \"Text string x\n"), "b.gsm:4: a quote is not closed"},
        {"missing value", Part("  A \"Breite\" length\n"), "b.gsm:4: a parameter is <name> \"<description>\" <kind> <value>"},
        {"long name", Part("  " + std::string(32, 'n') + " \"x\" real 1\n"), "b.gsm:4: a parameter name has 1 to 31 characters"},
        {"bad unique id", "GDL object \"T\"\nunique-id {1}-{2}\n", "b.gsm:2: '{1}-{2}' is no {main GUID}-{revision GUID}"},
        {"no end", "GDL object \"T\"\nunique-id " + std::string(PartId) + "\nparameters\n",
         "b.gsm: a part needs its name, its unique-id and its parameters up to 'end'"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        WritePart(folder.path(), "a.gsm", Part("  A \"Breite\" length 1\n"));
        WritePart(folder.path(), "b.gsm", c.text);
        std::string error;
        EXPECT_FALSE(SimHost::LoadLibraryFolder(Host(), folder.path(), error));
        EXPECT_EQ(error.substr(error.size() - std::min(error.size(), c.error.size())), c.error);
        EXPECT_TRUE(Host().model_.libraryParts.empty());
    }
    std::string error;
    EXPECT_FALSE(SimHost::LoadLibraryFolder(Host(), "/no/such/folder", error));
    EXPECT_EQ(error, "no library folder /no/such/folder");
}

// A project file keeps its library parts with their versions and defaults.
TEST_F(LibraryFolder, LibraryPartsTravelWithTheProjectFile)
{
    TempFolder folder;
    LoadOwnLibrary(Host());
    Host().model_.libraryParts.at(3).version = 40;
    const std::string file = folder.path() + "/p.json";
    std::string error;
    ASSERT_TRUE(SimHost::SaveProjectFile(Host().model_, file, error)) << error;
    SimHost::ProjectModel read;
    ASSERT_TRUE(SimHost::ReadProjectFile(file, read, error)) << error;
    ASSERT_EQ(read.libraryParts.size(), 5u);
    const SimHost::LibraryPartEntry& stored = Host().model_.libraryParts.at(3);
    const SimHost::LibraryPartEntry& back = read.libraryParts.at(3);
    EXPECT_EQ(back.uniqueId, stored.uniqueId);
    EXPECT_EQ(back.name, stored.name);
    EXPECT_EQ(back.version, stored.version);
    EXPECT_EQ(back.sizeA, stored.sizeA);
    ASSERT_EQ(back.params.size(), stored.params.size());
    EXPECT_EQ(back.params[3].text.ToUtf8(), stored.params[3].text.ToUtf8());
}

// Parts written by hand and parts the host saved, in a folder and its subfolders,
// are one library: found by unique id or by name, the saved one with the sizes and
// parameters of its parameter section.
TEST_F(LibraryFolder, HandWrittenAndSavedPartsAreOneLibrary)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.path() + "/generated");
    WritePart(folder.path(), "a.gsm", Part("  A \"Breite\" length 1\n"));
    SimHost::LibraryPartEntry saved;
    saved.uniqueId = "{8E1A2B3C-0000-4000-8000-00000000C003}-{8E1A2B3C-0000-4000-8000-00000000D004}";
    saved.name = "Gespeichert";
    saved.path = folder.path() + "/generated/saved.gsm";
    API_AddParType show;
    std::snprintf(show.name, sizeof show.name, "%s", "show3D");
    show.typeID = APIParT_Boolean;
    show.value = 1.0;
    SimHost::ParameterList list {2.5, 3.5, {show}};
    saved.SetSection({FourCC("PARD"), 0, SimHost::ParameterSectionBytes(list)});
    saved.SetSection({FourCC("3DSC"), 0, {'!', ' ', 'x'}});
    std::string error;
    ASSERT_TRUE(SimHost::SaveLibraryPartFile(saved, error)) << error;

    ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), folder.path(), error)) << error;
    API_LibPart byName;
    byName.name = GS::UniString("Gespeichert");
    ASSERT_EQ(HostSearchLibraryPart(&byName), NoError);
    EXPECT_STREQ(byName.uniqueId, saved.uniqueId.c_str());
    ASSERT_NE(byName.location, nullptr);
    EXPECT_EQ(byName.location->ToPath(), saved.path);
    double a = 0, b = 0;
    std::vector<API_AddParType> params;
    ASSERT_EQ(HostGetLibraryPartParameters(byName.index, &a, &b, &params), NoError);
    EXPECT_EQ(a, 2.5);
    EXPECT_EQ(b, 3.5);
    ASSERT_EQ(params.size(), 1u);
    EXPECT_STREQ(params[0].name, "show3D");
    std::vector<char> script;
    const API_LibPartSection section {FourCC("3DSC"), 0};
    ASSERT_EQ(HostGetLibraryPartSection(byName.index, &section, &script, nullptr), NoError);
    EXPECT_EQ(std::string(script.begin(), script.end()), "! x");

    API_LibPart byId;
    std::snprintf(byId.uniqueId, sizeof byId.uniqueId, "%s", PartId);
    ASSERT_EQ(HostSearchLibraryPart(&byId), NoError);
    EXPECT_EQ(byId.name.ToUtf8(), "Teil");
    EXPECT_EQ(Host().model_.libraryParts.size(), 2u);
}
