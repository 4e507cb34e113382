// Fixed texts of the main window that tests and several pages share.
#pragma once

namespace vsc {

// Captions of the section tree: [0] the top node, [k] category k (1..14).
extern const char* const kCategoryCaptions[15];

// Addresses behind the About page's links.
extern const char* const kHomePageAddress;
extern const char* const kSupportMailAddress;
extern const char* const kInfoMailAddress;

}  // namespace vsc
