#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The user's hand on modal dialogs and on user items:
//   answer-dialog <dialog> [text <item> "<text>"] [select <list> <entry>] [click <item>]
//                 [picture <item> <file.png>] ... close <item>
//                               answers the next modal dialog: the steps in order,
//                               then the item that closes it; unanswered dialogs
//                               are cancelled
//   script-dialog <dialog>      the next modal dialog is played by the script's lines
//                               that follow the one opening it (set-item, click,
//                               print-dialog, expect ...), until a click closes it;
//                               a script ending first cancels it
//   item-picture <dialog> <item> <file.png>
//                               draws a user item of an open dialog and writes its
//                               picture as PNG; a relative path lies in the work folder
// Fact "dialog-answers": "none left" when every answer was played as written,
// else the answers left and what went wrong.
void AddDialogAnswerVerbs(ScenarioVerbs& verbs);
void AddDialogAnswerFacts(const Host& host, Facts& facts);

}  // namespace SimHost
