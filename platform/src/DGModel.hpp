#pragma once
#include <deque>
#include <map>
#include <memory>

#include "DG/DG.hpp"

// The dialog manager's state, shared by the files of the stand-in.
namespace DG::Model {

struct State {
    std::map<short, std::unique_ptr<Dialog>> dialogs;
    ModalAnswerer answerer;
    std::vector<AlertRecord> alerts;
    std::deque<short> alertAnswers;
    std::deque<FileAnswer> fileAnswers;
    std::vector<FileDialogRecord> fileDialogs;
};

State& The();
Dialog* Lookup(short dialogId);
Item* LookupItem(short dialogId, short itemId);
// Calls the dialog's callback from a copy: closing its own dialog inside it
// drops the dialog's one.
short Send(Dialog& dialog, short message, short item, std::intptr_t data = 0);
void ForgetTreeViews();

}  // namespace DG::Model
