#include <gtest/gtest.h>

#include "API/AddOnInterface.hpp"

namespace
{

HostToken seenToken = nullptr;
std::int32_t seenCode = 0;

GSErrCode RecordingEnvironmentRequest(HostToken token, std::int32_t code, void*, void*)
{
    seenToken = token;
    seenCode = code;
    return 42;
}

}  // namespace

TEST(ServiceTable, EmptySlotsAnswerMissingCodeAndFilledSlotsGetTheToken)
{
    HostServiceTable table {};
    table[static_cast<std::size_t>(HostSlot::HostEnvironmentRequest)] =
        reinterpret_cast<HostServiceFn>(&RecordingEnvironmentRequest);
    EXPECT_FALSE(AddOnInterface::IsServiceTableFilled());
    AddOnInterface::SetServiceTable(&table);
    EXPECT_TRUE(AddOnInterface::IsServiceTableFilled());

    int token = 0;
    AddOnInterface::SetHostToken(&token);
    EXPECT_EQ(HostKeepInMemory(true), APIERR_MISSINGCODE);
    EXPECT_EQ(HostRegisterMenu(32500, 32510, 0, 0), APIERR_MISSINGCODE);
    EXPECT_EQ(HostEnvironmentRequest(FourCC("APPL"), nullptr, nullptr), 42);
    EXPECT_EQ(seenToken, &token);
    EXPECT_EQ(seenCode, 0x4150504C);
}

TEST(ServiceTable, TheTableIsCopiedNotReferenced)
{
    HostServiceTable table {};
    table[static_cast<std::size_t>(HostSlot::HostEnvironmentRequest)] =
        reinterpret_cast<HostServiceFn>(&RecordingEnvironmentRequest);
    AddOnInterface::SetServiceTable(&table);
    table[static_cast<std::size_t>(HostSlot::HostEnvironmentRequest)] = nullptr;
    EXPECT_EQ(HostEnvironmentRequest(FourCC("GTBX"), nullptr, nullptr), 42);
}
