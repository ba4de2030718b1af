#include "DialogAnswers.hpp"

#include <sstream>

#include "DG/DG.hpp"
#include "Graphics/PngWriter.hpp"
#include "PaletteVerbs.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

bool WritePicture(const Host& host, short dialog, short item, const std::string& file, std::string& error)
{
    if (std::string why = WhyDialogIsNotOpen(dialog); !why.empty())
    {
        error = std::move(why);
        return false;
    }
    const NewDisplay::NativeImage* picture = DG::UpdateUserItem(dialog, item);
    if (picture == nullptr)
    {
        error = "no user item " + std::to_string(item) + " drawn on dialog " + std::to_string(dialog);
        return false;
    }
    return NewDisplay::WritePngFile(*picture, WorkPath(host, file), &error);
}

// A text step takes the rest of its quoted text.
bool ReadQuoted(std::istringstream& in, std::string& text)
{
    in >> std::ws;
    if (in.get() != '"') return false;
    return static_cast<bool>(std::getline(in, text, '"'));
}

bool ReadAnswer(std::istringstream& args, DialogAnswer& answer)
{
    if (!(args >> answer.dialog)) return false;
    for (std::string action; args >> action;)
    {
        DialogAnswer::Step step;
        step.action = action;
        if (!(args >> step.item)) return false;
        if (action == "close")
        {
            answer.closing = step.item;
            return Scenario::Rest(args).empty();
        }
        if (action == "text" && !ReadQuoted(args, step.argument)) return false;
        if ((action == "select" || action == "picture") && !(args >> step.argument)) return false;
        if (action == "select" &&
            (step.argument.size() > 4 || step.argument.find_first_not_of("0123456789") != std::string::npos))
            return false;
        if (action != "text" && action != "select" && action != "picture" && action != "click") return false;
        answer.steps.push_back(step);
    }
    return false;
}

bool PlayStep(Host& host, const DG::Dialog& dialog, const DialogAnswer::Step& step, std::string& error)
{
    const short id = dialog.resourceId;
    if (step.action == "text") DG::SetItemText(id, step.item, GS::UniString(step.argument));
    if (step.action == "select") DG::ChangeItem(id, step.item, std::stoi(step.argument));
    if (step.action == "click") DG::ClickItem(id, step.item);
    return step.action != "picture" || WritePicture(host, id, step.item, step.argument, error);
}

// The script plays while the dialog is open and no click has closed it.
short PlayScripted(Host& host, Scenario& scenario, DG::Dialog& dialog)
{
    const bool closed =
        scenario.PlayWhile([&dialog] { return dialog.open && dialog.closingItem == 0 && !dialog.abortRequested; });
    if (!closed && dialog.closingItem == 0 && !dialog.abortRequested)
        host.dialogAnswerErrors_.push_back("dialog " + std::to_string(dialog.resourceId) + " was left open");
    return dialog.closingItem != 0 ? dialog.closingItem : static_cast<short>(DG::Cancel);
}

short Answer(Host& host, Scenario& scenario, DG::Dialog& dialog)
{
    if (host.dialogAnswers_.empty()) return DG::Cancel;
    const DialogAnswer answer = host.dialogAnswers_.front();
    host.dialogAnswers_.pop_front();
    if (answer.dialog != dialog.resourceId)
    {
        host.dialogAnswerErrors_.push_back("dialog " + std::to_string(dialog.resourceId) + " opened where " +
                                           std::to_string(answer.dialog) + " was answered");
        return DG::Cancel;
    }
    if (answer.scripted) return PlayScripted(host, scenario, dialog);
    for (const DialogAnswer::Step& step : answer.steps)
    {
        std::string error;
        if (!PlayStep(host, dialog, step, error)) host.dialogAnswerErrors_.push_back(error);
    }
    return answer.closing;
}

}  // namespace

void AddDialogAnswerVerbs(ScenarioVerbs& verbs)
{
    verbs["answer-dialog"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        DialogAnswer answer;
        if (!ReadAnswer(args, answer))
            return s.Fail("answer-dialog <dialog> [text <item> \"<text>\"] [select <list> <entry>] [click <item>] "
                          "[picture <item> <file.png>] ... close <item>");
        host->dialogAnswers_.push_back(answer);
        DG::SetModalAnswerer([host, &s](DG::Dialog& dialog) { return Answer(*host, s, dialog); });
        return true;
    };
    verbs["script-dialog"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        DialogAnswer answer;
        answer.scripted = true;
        if (!(args >> answer.dialog) || !Scenario::Rest(args).empty()) return s.Fail("script-dialog <dialog>");
        host->dialogAnswers_.push_back(answer);
        DG::SetModalAnswerer([host, &s](DG::Dialog& dialog) { return Answer(*host, s, dialog); });
        return true;
    };
    verbs["item-picture"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        short dialog = 0, item = 0;
        std::string file, error;
        if (!(args >> dialog >> item >> file) || !Scenario::Rest(args).empty())
            return s.Fail("item-picture <dialog> <item> <file.png>");
        return WritePicture(*host, dialog, item, file, error) || s.Fail(error);
    };
}

void AddDialogAnswerFacts(const Host& host, Facts& facts)
{
    std::string text;
    if (!host.dialogAnswers_.empty()) text = std::to_string(host.dialogAnswers_.size()) + " left";
    for (const std::string& error : host.dialogAnswerErrors_) text += (text.empty() ? "" : "; ") + error;
    facts["dialog-answers"] = text.empty() ? "none left" : text;
}

}  // namespace SimHost
