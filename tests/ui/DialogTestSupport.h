// Helpers for driving the disk-clean windows headless: the message seam records every message
// box and answers it, and the dialog hook runs test code inside a modal dialog.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "widgets/Messages.h"
#include "widgets/Window.h"

namespace vsc::test {

struct ShownMessage {
    std::string Text;
    UINT Flags;
};

// Records the messages shown while it lives and answers questions with `answer` (IDYES/IDNO).
class MessageRecorder {
public:
    explicit MessageRecorder(int answer = IDYES) : answer_(answer) {
        old_ = SetMessagePresenter([this](HWND, const std::string& text, UINT flags) {
            shown.push_back({text, flags});
            if (onShow) onShow(text);
            return (flags & MB_YESNO) ? answer_ : IDOK;
        });
    }
    ~MessageRecorder() { SetMessagePresenter(std::move(old_)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Answer(int answer) { answer_ = answer; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : shown) t.push_back(m.Text);
        return t;
    }
    std::vector<ShownMessage> shown;
    std::function<void(const std::string&)> onShow;  // runs inside the message, as a nested handler would

private:
    int answer_;
    MessagePresenter old_;
};

// Runs `hook` inside every modal dialog shown while it lives.
class DialogHook {
public:
    explicit DialogHook(std::function<void(TDialog&)> hook) { TDialog::SetShownHook(std::move(hook)); }
    ~DialogHook() { TDialog::SetShownHook(nullptr); }
    DialogHook(const DialogHook&) = delete;
    DialogHook& operator=(const DialogHook&) = delete;
};

inline void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

// A plain popup to own the dialogs under test. Under Wine on a display without a window manager,
// hiding a window that was active or owned popups waits two seconds for the manager, so the tests
// share one owner that lives as long as the test binary (SharedOwner).
class OwnerWindow : public TWindow {
public:
    OwnerWindow() {
        CreateParams params;
        params.Caption = "Dialog owner";
        params.Style = WS_POPUP | WS_CLIPCHILDREN;
        params.ClientWidth = 200;
        params.ClientHeight = 100;
        Create(params);
        Show();
    }
};

inline HWND SharedOwner() {
    static OwnerWindow* owner = new OwnerWindow();  // never destroyed: see above
    return owner->Handle();
}

}  // namespace vsc::test
