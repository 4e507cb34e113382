// The single-instance mutex "VSysCleaner": the window holds it for its whole run, and so do the
// console's runs that change something, so that only one of them changes the registry or the
// disk at a time.
#pragma once

#include "platform/Handles.h"

namespace vsc {

class TInstanceMutex {
public:
    // Creates or opens the mutex; held until the object is destroyed.
    TInstanceMutex();
    TInstanceMutex(const TInstanceMutex&) = delete;
    TInstanceMutex& operator=(const TInstanceMutex&) = delete;

    // True when this object created the mutex: no other instance holds it. False when it existed
    // already or could not be opened (another user's instance holds it).
    bool Taken() const { return taken_; }

private:
    UniqueMutex handle_;
    bool taken_;
};

}  // namespace vsc
