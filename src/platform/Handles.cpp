#include "platform/Handles.h"

#include <objbase.h>

namespace vsc {

ComApartment::ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}

ComApartment::~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
}

}  // namespace vsc
