#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "TestDialogs.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/CDialogBase.hpp"

namespace
{

constexpr short PaletteId = 30960;
const GS::Guid PaletteGuid("{5a6b1c2d-3e4f-4a5b-8c6d-7e8f9a0b1c2d}");

struct Heard
{
    short message;
    short item;
    std::intptr_t data;
};

// A palette that notes what reaches it; a hook may look around at each message.
class NotingPalette : public CDialogBase
{
public:
    explicit NotingPalette(bool withGuid)
    {
        SetDialogId(PaletteId);
        if (withGuid) SetPaletteGuid(PaletteGuid);
    }

    std::int16_t DialogCallback(std::int16_t message, std::int16_t, std::int16_t item, std::intptr_t data) override
    {
        heard.push_back({message, item, data});
        if (hook) hook(message);
        return message == DG::MsgClick || message == DG::MsgChange ? answer : 0;
    }

    std::vector<Heard> heard;
    std::int16_t answer = 0;  // to clicks and changes
    std::function<void(short message)> hook;
};

class DialogBaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DG::ForgetAllDialogs();
        module_ = DialogModule(PaletteId, "DIALOG 30960 palette \"P\" size=250,180 at=5,6\n"
                                          "item 1 button \"Zu\"\nitem 2 check \"An\"\n");
    }
    void TearDown() override
    {
        DG::ForgetAllDialogs();
        RS::CloseResourceModule(module_);
    }

    std::unique_ptr<NotingPalette> Palette(bool withGuid = true)
    {
        auto palette = std::make_unique<NotingPalette>(withGuid);
        palette->SetResourceModules(module_);
        return palette;
    }

    const SimHost::PaletteRegistration* Registration()
    {
        for (const auto& p : host_->palettes_)
            if (p.dialogId == PaletteId) return &p;
        return nullptr;
    }

    void Control(std::int32_t code)
    {
        const SimHost::PaletteRegistration* registration = Registration();
        ASSERT_NE(registration, nullptr);
        registration->callback(PaletteId, code, 0);
    }

    static bool Read(CDialogBase& palette, std::vector<std::uint8_t> bytes)
    {
        CDataRecorder recorder(CDataRecorder::EncodingCodePage);
        recorder.SetMode(CDataRecorder::ModeMemory);
        recorder.SetMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        return palette.ReadState(recorder);
    }

    InProcessHost host_;
    RS::ResModule module_ = 0;
};

// Open and docked at (10, 20), 300 wide and 200 high.
const std::vector<std::uint8_t> OpenDockedAt10And20 {0x01, 0x00, 0x01, 0x01, 0x0A, 0x00, 0x14, 0x00, 0xC8, 0x00, 0x2C, 0x01};

}  // namespace

// The host registers the palette before its subclass hears of the opening, and
// forgets it when it closes.
TEST_F(DialogBaseTest, APaletteIsRegisteredWhileItIsOpen)
{
    auto palette = Palette();
    bool registeredAtInit = false;
    palette->hook = [&](short message) {
        if (message == DG::MsgInit) registeredAtInit = Registration() != nullptr;
    };
    ASSERT_EQ(palette->OpenPalette(407), 0);
    EXPECT_TRUE(registeredAtInit);
    ASSERT_NE(Registration(), nullptr);
    EXPECT_EQ(Registration()->flags, 407);
    EXPECT_EQ(Registration()->guid, PaletteGuid);
    EXPECT_EQ(palette->OpenPalette(5), 0) << "already open";
    EXPECT_EQ(Registration()->flags, 407);

    Control(1);
    EXPECT_FALSE(DG::IsOpen(PaletteId));
    EXPECT_EQ(palette->GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(Registration(), nullptr);
}

// A click on the palette's own button that its subclass answers with other than 0
// closes it, as the close box does; a change of a check button does not.
TEST_F(DialogBaseTest, AButtonAnsweredWithOtherThanZeroClosesThePalette)
{
    auto palette = Palette();
    ASSERT_EQ(palette->OpenPalette(407), 0);
    EXPECT_EQ(DG::ClickItem(PaletteId, 1), 0);
    EXPECT_TRUE(DG::IsOpen(PaletteId));
    palette->answer = 1;
    EXPECT_EQ(DG::ClickItem(PaletteId, 2), 1);
    EXPECT_TRUE(DG::IsOpen(PaletteId)) << "a change";
    EXPECT_EQ(DG::ClickItem(PaletteId, 1), 1);
    EXPECT_FALSE(DG::IsOpen(PaletteId));
    EXPECT_EQ(palette->heard.back().message, DG::MsgClose);
    EXPECT_EQ(palette->GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(Registration(), nullptr);
}

TEST_F(DialogBaseTest, TheHostHidesAndShowsThePalette)
{
    auto palette = Palette();
    palette->OpenPalette(5);
    palette->heard.clear();
    Control(2);
    EXPECT_TRUE(DG::IsPaletteHidden(PaletteId));
    Control(3);
    EXPECT_FALSE(DG::IsPaletteHidden(PaletteId));
    ASSERT_EQ(palette->heard.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(palette->heard[i].message, CDialogBase::MsgPaletteShown);
        EXPECT_EQ(palette->heard[i].item, 1);
        EXPECT_EQ(palette->heard[i].data, static_cast<std::intptr_t>(i));
    }
}

// The items are disabled before the subclass hears of it, and the host is asked
// only when the state changes.
TEST_F(DialogBaseTest, TheHostDisablesAndEnablesAllItemsOnce)
{
    auto palette = Palette();
    palette->OpenPalette(5);
    bool disabledWhenHeard = false;
    palette->hook = [&](short message) {
        if (message == CDialogBase::MsgItemsEnabled) disabledWhenHeard = !DG::IsItemEnabled(PaletteId, 2);
    };
    Control(4);
    EXPECT_TRUE(disabledWhenHeard);
    EXPECT_FALSE(DG::IsItemEnabled(PaletteId, 1));
    DG::EnableItem(PaletteId, 2);
    Control(4);
    EXPECT_TRUE(DG::IsItemEnabled(PaletteId, 2)) << "a second disabling does not reach the host";
    EXPECT_EQ(palette->heard.back().message, CDialogBase::MsgItemsEnabled);
    EXPECT_EQ(palette->heard.back().data, 0);

    Control(5);
    EXPECT_TRUE(DG::IsItemEnabled(PaletteId, 1));
    EXPECT_EQ(palette->heard.back().data, 1);
}

TEST_F(DialogBaseTest, TheWindowStateIsTwelveBytes)
{
    auto palette = Palette();
    palette->OpenPalette(5);
    DG::SetClientPosition(PaletteId, 10, 20);
    DG::SetClientSize(PaletteId, 300, 200);
    DG::SetPaletteDocked(PaletteId, true);
    palette->CaptureWindowState(PaletteId, true, false);

    std::vector<std::uint8_t> block(12, 0xEE);
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(palette->WriteState(recorder));
    EXPECT_EQ(block, OpenDockedAt10And20);
}

// Once read, the saved place holds at every opening, also after the user moved
// the palette and closed it.
TEST_F(DialogBaseTest, AReadStatePutsThePaletteAtItsPlaceAtEveryOpening)
{
    auto palette = Palette();
    EXPECT_TRUE(Read(*palette, OpenDockedAt10And20));
    bool placedAfterInit = true;
    palette->hook = [&](short message) {
        if (message == DG::MsgInit) placedAfterInit = DG::GetClientPosition(PaletteId).x != 10;
    };
    for (int opening = 0; opening < 2; ++opening)
    {
        palette->OpenPalette(5);
        const DG::Point at = DG::GetClientPosition(PaletteId);
        const DG::Size size = DG::GetClientSize(PaletteId);
        EXPECT_EQ(at.x, 10);
        EXPECT_EQ(at.y, 20);
        EXPECT_EQ(size.width, 300);
        EXPECT_EQ(size.height, 200);
        DG::SetClientPosition(PaletteId, 400, 400);
        palette->Close();
    }
    EXPECT_TRUE(placedAfterInit);
}

// A state written before the palette was ever open has no size: the palette opens
// at its own. A stream that ends early changes nothing and says so.
TEST_F(DialogBaseTest, AStateWithoutSizeOrCutShortPutsNothing)
{
    auto palette = Palette();
    EXPECT_TRUE(Read(*palette, {0x01, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
    palette->OpenPalette(5);
    EXPECT_EQ(DG::GetClientSize(PaletteId).width, 250);
    EXPECT_EQ(DG::GetClientPosition(PaletteId).x, 5);
    palette->Close();

    auto other = Palette();
    std::vector<std::uint8_t> cut = OpenDockedAt10And20;
    cut.resize(10);
    EXPECT_FALSE(Read(*other, cut));
    other->RestoreOpenState(5);
    EXPECT_FALSE(DG::IsOpen(PaletteId)) << "the cut stream's open flag was not taken";
}

TEST_F(DialogBaseTest, RestoringTheOpenStateNeedsAGuid)
{
    struct Case
    {
        bool withGuid;
        bool wasOpen;
        bool openBefore;
        bool openAfter;
    };
    const Case cases[] = {
        {true, true, false, true}, {false, true, false, false}, {true, false, true, false},
        {true, true, true, true},  {true, false, false, false},
    };
    for (const Case& c : cases)
    {
        auto palette = Palette(c.withGuid);
        std::vector<std::uint8_t> state = OpenDockedAt10And20;
        state[2] = c.wasOpen ? 1 : 0;
        EXPECT_TRUE(Read(*palette, state));
        if (c.openBefore) palette->OpenPalette(5);
        palette->RestoreOpenState(503);
        EXPECT_EQ(DG::IsOpen(PaletteId), c.openAfter) << c.withGuid << c.wasOpen << c.openBefore;
        EXPECT_EQ(Registration() != nullptr, c.openAfter);
        if (c.openAfter)
        {
            EXPECT_EQ(Registration()->flags, c.openBefore ? 5 : 503);
        }
        palette->Close();
    }
}

// The subclass is gone when the base closes the palette: nothing calls into it,
// and no registration is left for the host's next control code.
TEST_F(DialogBaseTest, DestroyingAnOpenPaletteUnregistersIt)
{
    auto palette = Palette();
    palette->OpenPalette(5);
    ASSERT_NE(Registration(), nullptr);
    palette.reset();
    EXPECT_FALSE(DG::IsOpen(PaletteId));
    EXPECT_EQ(Registration(), nullptr);
    EXPECT_EQ(DG::SendDialogMessage(PaletteId, DG::MsgClick, 1, 0), 0);
    EXPECT_NE(HostUnregisterPalette(PaletteId), NoError) << "unregistering again is harmless";
}

TEST_F(DialogBaseTest, APaletteTheHostCannotCreateStaysClosed)
{
    class Missing : public NotingPalette
    {
    public:
        Missing() : NotingPalette(true) { SetDialogId(30961); }
    } missing;
    missing.SetResourceModules(module_);
    EXPECT_EQ(missing.OpenPalette(5), 2);
    EXPECT_EQ(missing.GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(missing.GetDialogId(), 30961);
    EXPECT_TRUE(missing.heard.empty());
}
