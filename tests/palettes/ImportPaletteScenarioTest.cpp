// The import palette as the user works it in survanto-host: each case plays on a
// project with four jobs in the folder "jobs" (Boden lies flat, the others stand
// upright), rows 1 to 4 in the order of their names, the palette open.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Scenario.hpp"

namespace
{

const char* const FourJobs = R"(start
new-project
write-orthophoto-job jobs Boden horizontal 2 1 1 8
write-orthophoto-job jobs Fassade vertical 2 1 1 8
write-orthophoto-job jobs Giebel vertical 1 1 1 8 5 0 0
write-orthophoto-job jobs Halle.Nord vertical 1 2 1 8 0 4 0
menu 32500
click 32450 81
answer-folder jobs
click 32465 5
)";

struct PaletteCase
{
    const char* name;
    const char* script;
};

const PaletteCase Cases[] = {
    {"opens_with_the_jobs_of_the_folder", R"(
expect rows 32465 12 = 4 rows, 0 selected
expect header 32465 12 = Ausführen | #32655 | Varo Job ^ | Ziel Typ | Ziel Name | #32656 | Ebene
expect row 32465 12 1 = [ ] | - | Boden | Geschoss | 0. Erdgeschoss | #32656 | Boden
expect row 32465 12 4 = [ ] | - | Halle.Nord | Geschoss | 0. Erdgeschoss | #32656 | Halle_Nord
expect folder-dialogs = "VaroImport Ordner suchen" at 
expect item 32450 81 value = 1
)"},
    {"a_project_without_views_offers_only_new_ones", R"(
click-row 32465 12 2
expect popup 32465 6 = >Geschoss | (Schnitt) | (Ansicht) | (Innenansicht) | (Layout) | (Arbeitsblatt) | - | Schnitt erzeugen | Ansicht erzeugen | Arbeitsblatt erzeugen
)"},
    {"views_made_or_deleted_while_open_change_the_offer", R"(
add-view worksheet Blatt 1
add-section elevation 0 -1 10 -1 left Nordansicht
expect popup 32465 6 = >Geschoss | (Schnitt) | Ansicht | (Innenansicht) | (Layout) | Arbeitsblatt | - | Schnitt erzeugen | Ansicht erzeugen | Arbeitsblatt erzeugen
delete-view Blatt 1
expect popup 32465 6 = >Geschoss | (Schnitt) | Ansicht | (Innenansicht) | (Layout) | (Arbeitsblatt) | - | Schnitt erzeugen | Ansicht erzeugen | Arbeitsblatt erzeugen
)"},
    {"a_flat_job_cannot_get_a_new_section_or_elevation", R"(
click-row 32465 12 1
expect popup 32465 6 = >Geschoss | (Schnitt) | (Ansicht) | (Innenansicht) | (Layout) | (Arbeitsblatt) | - | (Schnitt erzeugen) | (Ansicht erzeugen) | Arbeitsblatt erzeugen
click-row 32465 12 2
expect popup 32465 6 = >Geschoss | (Schnitt) | (Ansicht) | (Innenansicht) | (Layout) | (Arbeitsblatt) | - | Schnitt erzeugen | Ansicht erzeugen | Arbeitsblatt erzeugen
)"},
    {"a_new_section_for_three_rows_is_named_after_each_job", R"(
click-row 32465 12 2
click-row 32465 12 3 200 add
click-row 32465 12 4 200 add
set-item 32465 6 8
expect row 32465 12 2 = * [ ] | - | Fassade | Schnitt erzeugen | Fassade | #32656 | Fassade
expect row 32465 12 3 = * [ ] | - | Giebel | Schnitt erzeugen | Giebel | #32656 | Giebel
expect row 32465 12 4 = * [ ] | - | Halle.Nord | Schnitt erzeugen | Halle.Nord | #32656 | Halle_Nord
expect row 32465 12 1 = [ ] | - | Boden | Geschoss | 0. Erdgeschoss | #32656 | Boden
expect item 32465 11 visible = yes
expect item 32465 7 visible = no
)"},
    {"header_clicks_sort_up_down_and_up_and_only_by_texts", R"(
click-row 32465 12 2
set-item 32465 6 8
click-header 32465 12 4
expect header 32465 12 = Ausführen | #32655 | Varo Job | Ziel Typ ^ | Ziel Name | #32656 | Ebene
expect row 32465 12 4 = * [ ] | - | Fassade | Schnitt erzeugen | Fassade | #32656 | Fassade
click-header 32465 12 4
expect header 32465 12 = Ausführen | #32655 | Varo Job | Ziel Typ v | Ziel Name | #32656 | Ebene
expect row 32465 12 1 = * [ ] | - | Fassade | Schnitt erzeugen | Fassade | #32656 | Fassade
click-header 32465 12 4
expect row 32465 12 4 = * [ ] | - | Fassade | Schnitt erzeugen | Fassade | #32656 | Fassade
click-header 32465 12 1
click-header 32465 12 2
click-header 32465 12 6
expect header 32465 12 = Ausführen | #32655 | Varo Job | Ziel Typ ^ | Ziel Name | #32656 | Ebene
expect row 32465 12 4 = * [ ] | - | Fassade | Schnitt erzeugen | Fassade | #32656 | Fassade
)"},
    {"the_check_column_switches_every_selected_row", R"(
click-row 32465 12 2
click-row 32465 12 3 10 add
expect row 32465 12 2 = * [x] | - | Fassade | Geschoss | 0. Erdgeschoss | #32656 | Fassade
expect row 32465 12 3 = * [x] | - | Giebel | Geschoss | 0. Erdgeschoss | #32656 | Giebel
click-row 32465 12 2 10 add
expect row 32465 12 2 = * [ ] | - | Fassade | Geschoss | 0. Erdgeschoss | #32656 | Fassade
expect row 32465 12 3 = * [ ] | - | Giebel | Geschoss | 0. Erdgeschoss | #32656 | Giebel
click-row 32465 12 4 10
click-row 32465 12 4 300
expect row 32465 12 4 = * [x] | - | Halle.Nord | Geschoss | 0. Erdgeschoss | #32656 | Halle_Nord
click-row 32465 12 0 10
expect rows 32465 12 = 4 rows, 0 selected
expect row 32465 12 4 = [x] | - | Halle.Nord | Geschoss | 0. Erdgeschoss | #32656 | Halle_Nord
)"},
    {"activating_all_selects_without_switching", R"(
click 32465 13
expect rows 32465 12 = 4 rows, 4 selected
expect row 32465 12 1 = * [ ] | - | Boden | Geschoss | 0. Erdgeschoss | #32656 | Boden
click 32465 14
expect rows 32465 12 = 4 rows, 0 selected
)"},
    {"a_refill_selects_the_same_job_indices_again", R"(
click-row 32465 12 2
write-orthophoto-job jobs Anbau vertical 1 1 1 8
answer-folder jobs
click 32465 5
expect rows 32465 12 = 5 rows, 1 selected
expect row 32465 12 2 = * [ ] | - | Boden | Geschoss | 0. Erdgeschoss | #32656 | Boden
)"},
    {"a_cancelled_folder_browser_changes_nothing", R"(
click-row 32465 12 2 10
answer-folder cancel
click 32465 5
expect rows 32465 12 = 4 rows, 1 selected
expect row 32465 12 2 = * [x] | - | Fassade | Geschoss | 0. Erdgeschoss | #32656 | Fassade
)"},
    {"existing_views_and_storeys_are_chosen_by_name", R"(
add-storey 1 3 Obergeschoss
add-section section 0 0 4 0 left Schnitt A
add-section section 0 5 4 5 left Schnitt B
click-row 32465 12 2
expect popup 32465 7 = 1. Obergeschoss | >0. Erdgeschoss
set-item 32465 7 1
expect row 32465 12 2 = * [ ] | - | Fassade | Geschoss | 1. Obergeschoss | #32656 | Fassade
set-item 32465 6 2
expect popup 32465 7 = >Schnitt A | Schnitt B
set-item 32465 7 2
expect row 32465 12 2 = * [ ] | - | Fassade | Schnitt | Schnitt B | #32656 | Fassade
user-delete 1
expect popup 32465 6 = Geschoss | >Schnitt | (Ansicht) | (Innenansicht) | (Layout) | (Arbeitsblatt) | - | Schnitt erzeugen | Ansicht erzeugen | Arbeitsblatt erzeugen
)"},
    {"a_layer_of_its_own_or_the_default_layer", R"(
add-layer 5 Fotos
click-row 32465 12 2
expect item 32465 9 visible = no
click 32465 8
expect row 32465 12 2 = * [ ] | - | Fassade | Geschoss | 0. Erdgeschoss | - | ARCHICAD Ebene
expect item 32465 9 visible = yes
set-item 32465 9 5
expect row 32465 12 2 = * [ ] | - | Fassade | Geschoss | 0. Erdgeschoss | - | Fotos
click 32465 8
expect row 32465 12 2 = * [ ] | - | Fassade | Geschoss | 0. Erdgeschoss | #32656 | Fassade
expect item 32465 9 visible = no
)"},
    {"the_palette_closes_and_its_button_follows", R"(
click 32465 1
expect-dialog 32465 = closed
expect item 32450 81 value = 0
click 32450 81
expect rows 32465 12 = 4 rows, 0 selected
close-dialog 32465
expect item 32450 81 value = 0
)"},
};

class ImportPaletteScenario : public ::testing::TestWithParam<PaletteCase>
{};

TEST_P(ImportPaletteScenario, Plays)
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    std::ostringstream out;
    SimHost::Scenario scenario(options, out);
    EXPECT_TRUE(scenario.RunText(std::string(FourJobs) + GetParam().script + "free\n", GetParam().name)) << out.str();
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportPaletteScenario, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
