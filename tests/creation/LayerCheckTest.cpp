#include "CreationFixture.hpp"
#include "DG/DG.hpp"
#include "creation/LayerChangerDlg.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

// The column tool's layer is 1 ("Archicad-Ebene"); layers 2 and 3 are added hidden
// or visible as each test needs.

namespace
{

constexpr short LayerChooser = 4;
constexpr short ShowLayerButton = 3;
constexpr short Message = 5;

short PickLayer(DG::Dialog& dialog, short layer, short closing = DG::Accept)
{
    DG::SetItemValue(dialog.resourceId, LayerChooser, layer);
    return closing;
}

}  // namespace

class LayerCheckTest : public CreationFixture
{
protected:
    void SetUp() override
    {
        CreationFixture::SetUp();
        ChooseAnchor(0);
        ChooseOption(18);
        SetPoints({{1, 1, 0}});
    }

    std::int16_t ColumnToolLayer() { return ToolDefaults(API_ColumnID).header.layer; }
    void AddLayer(std::int16_t index, const char* name, std::int32_t flags) { Model().content.layers[index] = {name, flags}; }
    bool LayerHidden(std::int16_t index) { return (Model().content.layers.at(index).flags & APILay_Hidden) != 0; }

    std::vector<std::string> messages;
    std::vector<bool> showButtonVisible;

    // Notes what each question showed before the answer is given.
    void Note(DG::Dialog& dialog)
    {
        messages.push_back(DG::GetItemText(dialog.resourceId, Message).ToUtf8());
        showButtonVisible.push_back(DG::IsItemVisible(dialog.resourceId, ShowLayerButton));
    }
};

TEST_F(LayerCheckTest, UsableLayersPassWithoutAQuestion)
{
    AnswerDialogs([](DG::Dialog&) { return short(DG::Cancel); });
    Main().CreateColumn();
    Model().content.layers[1].flags = APILay_Locked;
    Main().CreateColumn();
    EXPECT_EQ(dialogsShown, 0);
    const std::vector<API_Element> columns = ElementsOfType(API_ColumnID);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1].header.layer, 1);
}

TEST_F(LayerCheckTest, DeletedLayerIsReplacedByTheChosenOne)
{
    AddLayer(2, "Stützen", 0);
    ToolDefaults(API_ColumnID).header.layer = 7;
    AnswerDialogs([this](DG::Dialog& dialog) {
        Note(dialog);
        return PickLayer(dialog, 2);
    });
    Main().CreateColumn();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(messages.at(0), "Die Ebene für dieses Werkzeug wurde gelöscht.\r\nBitte wählen Sie eine andere Ebene aus.");
    EXPECT_FALSE(showButtonVisible.at(0));
    EXPECT_EQ(ColumnToolLayer(), 2);
    EXPECT_EQ(OnlyElement(API_ColumnID).header.layer, 2);
}

TEST_F(LayerCheckTest, DeletedLayerThenAHiddenChoiceAsksAgainAndShowsIt)
{
    AddLayer(3, "Versteckt", APILay_Hidden);
    ToolDefaults(API_ColumnID).header.layer = 7;
    AnswerDialogs([this](DG::Dialog& dialog) {
        Note(dialog);
        if (dialogsShown == 1) return PickLayer(dialog, 3);
        DG::ClickItem(dialog.resourceId, ShowLayerButton);
        return short(DG::Accept);
    });
    Main().CreateColumn();
    ASSERT_EQ(dialogsShown, 2);
    EXPECT_EQ(messages.at(1),
              "Die Ebene \"Versteckt\" ist ausgeblendet. Bitte machen Sie diese sichtbar oder wählen für dieses Werkzeug eine "
              "andere Ebene.");
    EXPECT_TRUE(showButtonVisible.at(1));
    EXPECT_FALSE(LayerHidden(3));
    EXPECT_EQ(ColumnToolLayer(), 3);
    EXPECT_EQ(OnlyElement(API_ColumnID).header.layer, 3);
}

TEST_F(LayerCheckTest, HiddenLayerMadeVisibleOrExchanged)
{
    AddLayer(2, "Stützen", 0);
    Model().content.layers[1].flags = APILay_Hidden;
    AnswerDialogs([](DG::Dialog& dialog) {
        DG::ClickItem(dialog.resourceId, ShowLayerButton);
        return short(DG::Accept);
    });
    Main().CreateColumn();
    EXPECT_FALSE(LayerHidden(1));
    EXPECT_EQ(OnlyElement(API_ColumnID).header.layer, 1);

    Model().content.elements.clear();
    Model().content.layers[1].flags = APILay_Hidden;
    AnswerDialogs([](DG::Dialog& dialog) { return PickLayer(dialog, 2); });
    Main().CreateColumn();
    EXPECT_TRUE(LayerHidden(1));
    EXPECT_EQ(ColumnToolLayer(), 2);
    EXPECT_EQ(OnlyElement(API_ColumnID).header.layer, 2);
}

TEST_F(LayerCheckTest, CancelOrCloseBoxCreatesNothing)
{
    for (const short closing : {short(DG::Cancel), short(-1)})
    {
        Model().content.layers[1].flags = APILay_Hidden;
        AnswerDialogs([closing](DG::Dialog& dialog) { return PickLayer(dialog, 1, closing); });
        Main().pointStep = 1;
        Main().CreateColumn();
        EXPECT_TRUE(Model().content.elements.empty()) << closing;
        EXPECT_TRUE(Model().undoSteps.empty()) << closing;
        EXPECT_EQ(Main().pointStep, 0) << closing;
        EXPECT_FALSE(Main().elementCreated) << closing;
        EXPECT_EQ(Main().actionPoints.GetSize(), 1u) << closing;
    }
}

TEST_F(LayerCheckTest, MarkerSlotsHoldTheirOwnLayers)
{
    AddLayer(2, "Messpunkte", 0);
    Model().content.layers[1].flags = APILay_Hidden;
    Main().perTypeLayers[3] = 1;
    Main().freeAreaLayer = 1;
    AnswerDialogs([](DG::Dialog& dialog) { return PickLayer(dialog, 2); });
    std::int32_t slot = 3;
    EXPECT_TRUE(Main().CheckToolLayer(nullptr, nullptr, &slot));
    EXPECT_EQ(Main().perTypeLayers[3], 2);
    slot = 12;
    EXPECT_TRUE(Main().CheckToolLayer(nullptr, nullptr, &slot));
    EXPECT_EQ(Main().freeAreaLayer, 2);
    EXPECT_EQ(ToolDefaults(API_ObjectID).header.layer, 1);
    EXPECT_EQ(dialogsShown, 2);

    for (const std::int32_t outside : {-1, 11, 13})
    {
        slot = outside;
        EXPECT_FALSE(Main().CheckToolLayer(nullptr, nullptr, &slot)) << outside;
    }
    EXPECT_EQ(dialogsShown, 2);
}

// Without the tool's defaults the host gives no tool layer: nothing is asked and
// nothing created. A marker slot holds its own layer and is checked as ever.
TEST_F(LayerCheckTest, ToolDefaultsTheHostRefusesCreateNothing)
{
    Host().FailService(HostSlot::HostGetElementDefaults);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    AnswerDialogs([](DG::Dialog& dialog) { return PickLayer(dialog, 1); });
    Main().pointStep = 1;
    Main().CreateColumn();
    EXPECT_EQ(dialogsShown, 0);
    EXPECT_TRUE(Model().content.elements.empty());
    EXPECT_TRUE(Model().undoSteps.empty());
    EXPECT_EQ(Main().pointStep, 0);

    Main().perTypeLayers[3] = 1;
    std::int32_t slot = 3;
    EXPECT_TRUE(Main().CheckToolLayer(nullptr, nullptr, &slot));
    EXPECT_EQ(dialogsShown, 0);
}
