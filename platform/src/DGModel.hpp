#pragma once
#include <deque>
#include <map>
#include <memory>

#include "DG/DG.hpp"

// The dialog manager's state, shared by the files of the stand-in.
namespace DG::Model
{

struct State
{
    std::map<short, std::unique_ptr<Dialog>> dialogs;
    ModalAnswerer answerer;
    std::vector<AlertRecord> alerts;
    std::deque<short> alertAnswers;
    std::deque<FileAnswer> fileAnswers;
    std::vector<FileDialogRecord> fileDialogs;
    std::deque<FileAnswer> folderAnswers;
    std::vector<FolderDialogRecord> folderDialogs;
};

State& The();
Dialog* Lookup(short dialogId);
Item* LookupItem(short dialogId, short itemId);
// Calls the dialog's callback from a copy: closing its own dialog inside it
// drops the dialog's one.
short Send(Dialog& dialog, short message, short item, std::intptr_t data = 0);
void ForgetTreeViews();
void ForgetFileDialogs();
// Pop-up entries keep a text, an icon and an enabled state each.
void EvenOutEntries(Item& item);

}  // namespace DG::Model
