#include "widgets/Messages.h"

namespace vsc {

const char* const kAppTitle = "Vemo System Cleaner";

namespace {

MessagePresenter& Presenter() {
    static MessagePresenter presenter;
    return presenter;
}

HWND g_owner = nullptr;

}  // namespace

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
    MessagePresenter old = std::move(Presenter());
    Presenter() = std::move(presenter);
    return old;
}

void SetMessageOwner(HWND owner) { g_owner = owner; }
HWND MessageOwner() { return g_owner; }

int ShowMessage(const std::string& text, UINT flags) {
    HWND owner = (g_owner && IsWindow(g_owner)) ? g_owner : nullptr;
    if (Presenter()) return Presenter()(owner, text, flags);
    return MessageBoxA(owner, text.c_str(), kAppTitle, flags);
}

void ShowError(const std::string& text) { ShowMessage(text, MB_OK | MB_ICONERROR); }
void ShowInfo(const std::string& text) { ShowMessage(text, MB_OK | MB_ICONINFORMATION); }
bool AskYesNo(const std::string& text) { return ShowMessage(text, MB_YESNO | MB_ICONQUESTION) == IDYES; }

}  // namespace vsc
