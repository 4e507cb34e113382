// Fixed texts of the main window that tests and several pages share.
#pragma once

#include "ui/RegistryCleanPage.h"  // SectionNodeCaption, the captions of the section tree

namespace vsc {


// Addresses behind the About page's links.
extern const char* const kHomePageAddress;
extern const char* const kSupportMailAddress;
extern const char* const kInfoMailAddress;

}  // namespace vsc
