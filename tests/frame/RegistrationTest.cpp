#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Host.hpp"
#include "Win/WinStandIns.hpp"

namespace
{

const std::vector<std::string> StandardMenuCalls = {
    "HostRegisterMenu 32500 32510 0 0", "HostRegisterMenu 32520 32531 0 1", "HostRegisterMenu 32502 32512 0 1",
    "HostRegisterMenu 32503 32513 0 0", "HostRegisterMenu 32508 32518 0 1", "HostRegisterMenu 32505 32515 0 1",
    "HostRegisterMenu 32509 32519 0 0", "HostRegisterMenu 32506 32516 0 1",
};
const std::vector<std::string> DebugMenuCalls = {"HostRegisterMenu 32501 32511 0 1", "HostRegisterMenu 32507 32517 0 0"};
const std::vector<std::string> CommandCalls = {
    "HostRegisterAddOnCommand OPNE 1", "HostRegisterAddOnCommand NEWP 1", "HostRegisterAddOnCommand ALRT 1",
    "HostRegisterAddOnCommand CAMR 1", "HostRegisterAddOnCommand PHTN 1",
};

SimHost::Host::Options OptionsWith(std::vector<std::string> configLines)
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    options.configLines = std::move(configLines);
    return options;
}

std::vector<std::string> Registrations(const SimHost::Host& host)
{
    std::vector<std::string> calls;
    for (const auto& line : host.CallLog())
        if (line.rfind("HostRegister", 0) == 0) calls.push_back(line);
    return calls;
}

std::vector<std::string> ExpectedRegistrations(bool debugMode)
{
    std::vector<std::string> calls = StandardMenuCalls;
    calls.push_back("HostRegisterSubtype SVPH");
    if (debugMode) calls.insert(calls.end(), DebugMenuCalls.begin(), DebugMenuCalls.end());
    calls.push_back("HostRegisterBuiltInLibrary");
    calls.insert(calls.end(), CommandCalls.begin(), CommandCalls.end());
    return calls;
}

}  // namespace

TEST(Registration, OrderAndArgumentsDependOnDebugMode)
{
    struct Case
    {
        std::vector<std::string> config;
        bool debugMode;
    };
    const Case cases[] = {
        {{}, false},
        {{"DebugMode 1"}, true},
        {{"debugmode 1.0"}, true},
        {{"DebugMode 2"}, false},
        {{"DebugMode eins"}, false},
        {{"RelocationAngleDiffMax 0.1"}, false},
        {{"\xEF\xBB\xBF"
          "DebugMode 1"},
         true},
        {{"Other 3\rDebugMode 1"}, true},
        {{"Other 1", "DebugMode"}, false},
        {{"RelocationAngleDiffMax", "DebugMode 1"}, true},
    };
    for (const auto& c : cases)
    {
        SimHost::Host host(OptionsWith(c.config));
        ASSERT_TRUE(host.Start()) << host.LoadError();
        const std::string config = c.config.empty() ? "" : c.config.front();
        EXPECT_EQ(Registrations(host), ExpectedRegistrations(c.debugMode)) << config;
        EXPECT_EQ(host.Fact("menu-handlers"), c.debugMode ? "32500 32503 32505 32508 32509 32502 32520 32506 32501 32507"
                                                          : "32500 32503 32505 32508 32509 32502 32520 32506")
            << config;
        EXPECT_EQ(host.Fact("subtypes"), "SVPH/32503/1/32552/32686/32687/1/351/32503");
        EXPECT_EQ(host.Fact("library"), "\"Survanto Subtype.gsm\"");
        EXPECT_EQ(host.RegisterResult(), NoError);
    }
}

TEST(Registration, BuiltInLibraryHoldsTheTemplateObject)
{
    SimHost::Host host(OptionsWith({}));
    ASSERT_TRUE(host.Start());
    const auto& parts = host.Library();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_NE(std::string(parts[0].content.begin(), parts[0].content.end()).find("Bottom Level"), std::string::npos);
}

TEST(Registration, RegisterInterfaceReturnsTheLibraryResultEvenWhenMenusFail)
{
    SimHost::Host host(OptionsWith({}));
    host.FailService(HostSlot::HostRegisterMenu);
    ASSERT_TRUE(host.Start());
    EXPECT_EQ(host.RegisterResult(), NoError);
    EXPECT_EQ(host.Fact("menus"), "");
    EXPECT_EQ(host.Fact("commands"), "OPNE/1 NEWP/1 ALRT/1 CAMR/1 PHTN/1");
}

// A configuration that cannot be taken (gone, empty, a folder, a pipe, one
// larger than 1 MiB) keeps the debug mode read before; the oversized one would
// switch it off if it were read, and its refusal is told.
TEST(Registration, AConfigurationThatCannotBeTakenKeepsTheEarlierDebugMode)
{
    enum class Damage
    {
        Removed,
        Emptied,
        Unreadable,
        Pipe,
        Oversized
    };
    for (const Damage damage : {Damage::Removed, Damage::Emptied, Damage::Unreadable, Damage::Pipe, Damage::Oversized})
    {
        SimHost::Host host(OptionsWith({"DebugMode 1"}));
        ASSERT_TRUE(host.Load());
        ASSERT_EQ(host.CheckEnvironment(), 2);
        host.RegisterInterface();
        Win::ClearRecords();
        const auto config = std::filesystem::path(host.InstalledAddOnFolder()) / "Survanto.cfg";
        if (damage == Damage::Emptied)
        {
            std::filesystem::resize_file(config, 0);
        }
        else if (damage == Damage::Oversized)
        {
            std::ofstream(config, std::ios::trunc) << "DebugMode 0\n" << std::string(1 << 20, '#') << "\n";
        }
        else
        {
            std::filesystem::remove(config);
            if (damage == Damage::Unreadable) std::filesystem::create_directory(config);
            if (damage == Damage::Pipe)
            {
                ASSERT_EQ(::mkfifo(config.c_str(), 0644), 0);
            }
        }
        host.Initialize();
        EXPECT_EQ(host.Fact("menu-handlers"), "32500 32503 32505 32508 32509 32502 32520 32506 32501 32507")
            << static_cast<int>(damage);
        const auto output = Win::RecordedDebugOutput();
        const bool told = std::find(output.begin(), output.end(),
                                    "Survanto: " + config.string() + " is larger than 1 MiB and is not read") != output.end();
        EXPECT_EQ(told, damage == Damage::Oversized) << static_cast<int>(damage);
    }
}

TEST(Initialize, InstallsEveryHandlerInOrder)
{
    SimHost::Host host(OptionsWith({}));
    ASSERT_TRUE(host.Start());
    std::vector<std::string> installs;
    for (const auto& line : host.CallLog())
        if (line.rfind("HostInstall", 0) == 0 || line.rfind("HostCatch", 0) == 0 ||
            line.rfind("HostEnvironmentRequest GTBX", 0) == 0)
            installs.push_back(line);
    const std::vector<std::string> expected = {
        "HostInstallMenuHandler 32500",
        "HostInstallMenuHandler 32503",
        "HostInstallMenuHandler 32505",
        "HostInstallMenuHandler 32508",
        "HostInstallMenuHandler 32509",
        "HostInstallMenuHandler 32502",
        "HostInstallMenuHandler 32520",
        "HostInstallMenuHandler 32506",
        "HostInstallAddOnCommandHandler OPNE 1",
        "HostInstallAddOnCommandHandler NEWP 1",
        "HostInstallAddOnCommandHandler ALRT 1",
        "HostInstallAddOnCommandHandler CAMR 1",
        "HostInstallAddOnCommandHandler PHTN 1",
        "HostCatchProjectEvents -1",
        "HostInstallElementObserver",
        "HostCatchToolChange",
        "HostInstallModuleDataMergeHandler",
        "HostCatchSelectionChange",
        "HostCatchViewEvents 7 1",
        "HostCatchViewEvents 8 1",
        "HostCatchViewEvents 8 2",
        "HostCatchViewEvents 8 3",
        "HostCatchViewEvents 8 4",
        "HostCatchViewEvents 8 5",
        "HostCatchNewElement 6",
        "HostEnvironmentRequest GTBX",
    };
    EXPECT_EQ(installs, expected);
}

TEST(Initialize, FailedWindowMessagesAreToldAndStartUpGoesOn)
{
    Win::ClearRecords();
    Win::FailMessageRegistration("WM_QUINTAIR_TO_EXTAPP_MESSAGE", true);
    Win::FailMessageRegistration("WM_EXTAPP_TO_QUINTAIR_MESSAGE", true);
    {
        SimHost::Host host(OptionsWith({}));
        ASSERT_TRUE(host.Start());
        EXPECT_EQ(host.Fact("message-boxes"), "[Survanto: Failed to register Message WM_QUINTAIR_TO_EXTAPP_MESSAGE] "
                                              "[Survanto: Failed to register Message WM_EXTAPP_TO_QUINTAIR_MESSAGE]");
        EXPECT_EQ(host.Fact("command-handlers"), "ALRT CAMR NEWP OPNE PHTN");
    }
    Win::FailMessageRegistration("WM_QUINTAIR_TO_EXTAPP_MESSAGE", false);
    Win::FailMessageRegistration("WM_EXTAPP_TO_QUINTAIR_MESSAGE", false);
}
