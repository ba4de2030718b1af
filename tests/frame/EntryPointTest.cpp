#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "Host.hpp"
#include "Win/WinStandIns.hpp"

namespace
{

// The add-on opened by hand, without a host, to see what it does before the host set it up.
class RawModule
{
public:
    RawModule() : handle_(dlopen(SURVANTO_APX_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~RawModule()
    {
        if (handle_ != nullptr) dlclose(handle_);
    }
    template <typename Fn>
    Fn Export(const char* name) const
    {
        return reinterpret_cast<Fn>(dlsym(handle_, name));
    }
    bool Loaded() const { return handle_ != nullptr; }

private:
    void* handle_;
};

}  // namespace

TEST(EntryPoints, EntryRecordIsZeroFilledAroundItsFields)
{
    RawModule module;
    ASSERT_TRUE(module.Loaded()) << dlerror();
    const auto getExported = module.Export<GetExportedFuncAddrsFn>("GetExportedFuncAddrs");
    ASSERT_NE(getExported, nullptr);
    ASSERT_NE(module.Export<SetImportedFuncAddrsFn>("SetImportedFuncAddrs"), nullptr);

    std::uint8_t bytes[sizeof(API_ExportedFuncs)];
    std::memset(bytes, 0xAB, sizeof bytes);
    getExported(1, reinterpret_cast<API_ExportedFuncs*>(bytes));

    std::int32_t word = 0, version = 0;
    std::memcpy(&word, bytes, 4);
    std::memcpy(&version, bytes + 40, 4);
    EXPECT_EQ(word, 0x160001);
    EXPECT_EQ(version, 22000);
    for (std::size_t offset = 8; offset <= 32; offset += 8)
    {
        void* entry = nullptr;
        std::memcpy(&entry, bytes + offset, sizeof entry);
        EXPECT_NE(entry, nullptr) << "entry at " << offset;
    }
    for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
    for (std::size_t i = 44; i < sizeof bytes; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(EntryPoints, EntriesRefuseBeforeTheServiceTableIsFilled)
{
    RawModule module;
    ASSERT_TRUE(module.Loaded());
    API_ExportedFuncs entry {};
    module.Export<GetExportedFuncAddrsFn>("GetExportedFuncAddrs")(1, &entry);

    API_EnvirParams envir;
    envir.serverApplication = 1;
    EXPECT_EQ(entry.checkEnvironment(&envir), 0);
    EXPECT_TRUE(envir.addOnName.IsEmpty());
    EXPECT_EQ(entry.registerInterface(), APIERR_GENERAL);
    int token = 0;
    EXPECT_EQ(entry.initialize(&token), APIERR_GENERAL);
    EXPECT_EQ(entry.freeData(), APIERR_GENERAL);
}

TEST(EntryPoints, CheckEnvironmentAcceptsOnlyApplicationKindOne)
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    SimHost::Host host(options);
    ASSERT_TRUE(host.Load()) << host.LoadError();

    EXPECT_EQ(host.CheckEnvironment(2), 0);
    EXPECT_EQ(host.AddOnName(), "");
    EXPECT_EQ(host.AddOnDescription(), "");

    EXPECT_EQ(host.CheckEnvironment(1), 2);
    EXPECT_EQ(host.AddOnName(), "Survanto");
    EXPECT_EQ(host.AddOnDescription(), "version: 22.02 (24)");
}

TEST(EntryPoints, FreeDataWithoutMainObjectStillSwitchesWindowTrackingOff)
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    SimHost::Host host(options);
    ASSERT_TRUE(host.Load());
    Win::ClearRecords();
    EXPECT_EQ(host.FreeData(), NoError);
    EXPECT_EQ(host.Fact("system-parameters"), "0x1001=0 0x100D=0");
}

TEST(EntryPoints, LoadingInitialisingAndFreeingTwiceLeavesNothingBehind)
{
    for (int round = 0; round < 2; ++round)
    {
        Win::ClearRecords();
        SimHost::Host::Options options;
        options.addOnPath = SURVANTO_APX_PATH;
        options.languageCode = "USA";  // a language file is current until FreeData
        SimHost::Host host(options);
        ASSERT_TRUE(host.Start()) << host.LoadError();
        EXPECT_EQ(host.AddOnName(), "Survanto") << "round " << round;
        host.NewProject();
        host.OpenProject("second");
        EXPECT_EQ(host.RunPendingCommands(), 1);
        host.Shutdown();
        EXPECT_EQ(host.Fact("debug-output"), "") << "round " << round;
        EXPECT_EQ(host.Fact("posted"), "OPNE");
    }
}
