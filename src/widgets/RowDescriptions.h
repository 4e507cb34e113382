// Words for what a list row shows only as a picture. Screen readers read a row's texts; a row's
// accessible description is what they add when the row is reached. A list given a describer here
// answers that description from the program's own model, row by row, when a screen reader asks.
//
// How it works: the system's accessibility proxy of a list view asks the annotation service
// (IAccPropServices, oleacc) for a description before it makes up its own; the list is annotated
// once with a server (IAccPropServer) for every row, which calls the describer with the row asked
// for. The annotation is removed with the list. Where the service is missing (Wine answers none),
// nothing changes and nothing fails.
//
// Runs on the user-interface thread, with COM initialised there.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vsc {

// `describe` gets a row index (from 0) and returns its description in the process code page, or
// an empty text for none; it must stay callable as long as the list exists.
void DescribeRowsToScreenReaders(HWND list, std::function<std::string(int row)> describe);

}  // namespace vsc
