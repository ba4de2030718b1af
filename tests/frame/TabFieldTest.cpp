#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/UInterface.hpp"

namespace
{

constexpr short DialogId = 32001;
constexpr short ListItem = 12;
constexpr short FirstPlacedItem = 6;
constexpr short SecondPlacedItem = 10;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A resource module holding one dialog with a list and two items to place on it.
RS::ResModule RegisterListDialog()
{
    const std::string description = "DIALOG 32001 palette \"List\"\n"
                                    "item 12 list \"\"\n"
                                    "item 6 popup \"\"\n"
                                    "item 10 check \"\"\n";
    std::vector<std::uint8_t> bundle {'S', 'V', 'R', 'S'};
    PutU32(bundle, 1);
    PutU32(bundle, 1);
    PutU32(bundle, RS::DialogType);
    bundle.push_back(static_cast<std::uint8_t>(DialogId & 0xFF));
    bundle.push_back(static_cast<std::uint8_t>(DialogId >> 8));
    PutU32(bundle, static_cast<std::uint32_t>(description.size()));
    bundle.insert(bundle.end(), description.begin(), description.end());
    return RS::RegisterEmbeddedModule(bundle.data(), bundle.size());
}

class TabFieldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        module_ = RegisterListDialog();
        ASSERT_NE(DG::GetDialog(DialogId, module_), nullptr);
    }
    void TearDown() override
    {
        DG::ForgetAllDialogs();
        RS::CloseResourceModule(module_);
    }

    static void SetFields(const std::vector<DG::TabField>& fields)
    {
        DG::ListSetTabFieldCount(DialogId, ListItem, static_cast<short>(fields.size()));
        for (std::size_t i = 0; i < fields.size(); ++i)
            DG::ListSetTabField(DialogId, ListItem, static_cast<short>(i + 1), fields[i]);
    }

    static std::pair<short, short> Span(short field)
    {
        const DG::TabField tab = DG::ListGetTabField(DialogId, ListItem, field);
        return {tab.begin, tab.end};
    }

    RS::ResModule module_ = 0;
};

}  // namespace

TEST_F(TabFieldTest, FittingToTheListMovesTheLastColumnToTheRightEdge)
{
    struct Case
    {
        short listWidth;
        std::pair<short, short> first, second;
    };
    const Case cases[] = {
        {300, {0, 150}, {150, 300}},
        {170, {0, 130}, {130, 170}},
        {280, {0, 150}, {150, 280}},
    };
    for (const auto& c : cases)
    {
        DG::SetItemSize(DialogId, ListItem, c.listWidth, 200);
        SetFields({{0, 150, FirstPlacedItem, 40}, {150, 280, SecondPlacedItem, 40}});

        FitTabFieldsToList(DialogId, ListItem);

        EXPECT_EQ(Span(1), c.first) << c.listWidth;
        EXPECT_EQ(Span(2), c.second) << c.listWidth;
        EXPECT_EQ(DG::ListGetTabField(DialogId, ListItem, 1).item, FirstPlacedItem);
        EXPECT_EQ(DG::ListGetTabField(DialogId, ListItem, 2).headerMinSize, 40);
    }
}

TEST_F(TabFieldTest, PlacedItemsFillTheirColumnsWithinTheList)
{
    DG::SetItemSize(DialogId, ListItem, 300, 200);
    DG::ListSetRowHeight(DialogId, ListItem, 20);
    DG::SetItemSize(DialogId, FirstPlacedItem, 5, 5);
    DG::SetItemSize(DialogId, SecondPlacedItem, 5, 5);
    SetFields({{0, 50, 0, 0}, {50, 150, FirstPlacedItem, 0}, {150, 400, SecondPlacedItem, 0}});

    EXPECT_EQ(FitTabFieldItems(DialogId, ListItem, 2), 3);

    EXPECT_EQ(DG::GetItemWidth(DialogId, FirstPlacedItem), 98);
    EXPECT_EQ(DG::GetItemHeight(DialogId, FirstPlacedItem), 18);
    EXPECT_EQ(DG::GetItemWidth(DialogId, SecondPlacedItem), 148);  // cut at the list's right edge
    EXPECT_EQ(DG::GetItemHeight(DialogId, SecondPlacedItem), 18);
}

TEST_F(TabFieldTest, ClearedColumnsKeepTheirSpansAndLeaveItemsAlone)
{
    DG::SetItemSize(DialogId, ListItem, 300, 200);
    DG::ListSetRowHeight(DialogId, ListItem, 20);
    DG::SetItemSize(DialogId, FirstPlacedItem, 5, 5);
    SetFields({{0, 150, FirstPlacedItem, 40}, {150, 300, SecondPlacedItem, 40}});

    EXPECT_EQ(ClearTabFieldItems(DialogId, ListItem), 2);
    EXPECT_EQ(FitTabFieldItems(DialogId, ListItem, 2), 2);

    for (short field = 1; field <= 2; ++field) EXPECT_EQ(DG::ListGetTabField(DialogId, ListItem, field).item, 0);
    EXPECT_EQ(Span(1), std::make_pair(short {0}, short {150}));
    EXPECT_EQ(Span(2), std::make_pair(short {150}, short {300}));
    EXPECT_EQ(DG::GetItemWidth(DialogId, FirstPlacedItem), 5);
}
