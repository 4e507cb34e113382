#include "platform/InstanceMutex.h"

namespace vsc {

TInstanceMutex::TInstanceMutex()
    : handle_(CreateMutexA(nullptr, FALSE, "VSysCleaner")), taken_(handle_ && GetLastError() != ERROR_ALREADY_EXISTS) {}

}  // namespace vsc
