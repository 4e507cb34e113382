// The disk side of the main window: the junk-file scan, the virtual results list, cleaning and the
// option dialog.
#include "app/UFrmMain.h"

namespace vsc {

void TFrmMain::btnFileScanClick() {}
void TFrmMain::FlatButton7Click() {}
void TFrmMain::lstJunkFileData(NMLVDISPINFOA*) {}
void TFrmMain::lstJunkFileMouseDown(const ControlMouseEvent&) {}
void TFrmMain::btnCheckAllFileClick() {}
void TFrmMain::btnUnCheckAllFileClick() {}
void TFrmMain::btnDelFileClick() {}
void TFrmMain::backMainClick() {}
void TFrmMain::FlatButton3Click() {}
void TFrmMain::StopFileScan() {}
void TFrmMain::DiskCleanCreated() {}

}  // namespace vsc
