// The one seam through which the program shows message boxes and asks questions. Every message is
// owned by the application window and titled "Vemo System Cleaner". Tests replace the presenter,
// so that handlers run headless and the texts, icons and answers can be checked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vsc {

extern const char* const kAppTitle;  // "Vemo System Cleaner"

// Shows text with the given MB_* flags (icon, buttons); returns the button chosen (IDOK, IDYES...).
using MessagePresenter = std::function<int(HWND owner, const std::string& text, UINT flags)>;

// Replaces the presenter (an empty function restores the real message box); returns the old one.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// The window that owns every message box (the main window once it exists).
void SetMessageOwner(HWND owner);
HWND MessageOwner();

int ShowMessage(const std::string& text, UINT flags);
// Error icon.
void ShowError(const std::string& text);
// Information icon.
void ShowInfo(const std::string& text);
// Question icon with Yes and No; true for Yes.
bool AskYesNo(const std::string& text);

}  // namespace vsc
