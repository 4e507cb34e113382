// Keeps the system from showing "insert a disk" and "cannot open file" boxes while this thread asks
// about a drive, a folder or a file; the thread's previous mode comes back at the end of the scope.
#pragma once

#include <windows.h>

namespace vsc {

class QuietCriticalErrors {
public:
    QuietCriticalErrors() { ok_ = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_) != 0; }
    ~QuietCriticalErrors() {
        if (ok_) SetThreadErrorMode(old_, nullptr);
    }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

private:
    DWORD old_ = 0;
    bool ok_ = false;
};

}  // namespace vsc
