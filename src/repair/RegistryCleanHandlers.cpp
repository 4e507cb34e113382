// The registry side of the main window: the section tree's toggling, scan start, pause, stop and
// end, the results list and its buttons, repair and the restore dialog.
#include "app/UFrmMain.h"

namespace vsc {

void TFrmMain::treRegistryMouseUp(const ControlMouseEvent&) {}
void TFrmMain::btnRegistryScanClick() {}
void TFrmMain::btnPauseClick() {}
void TFrmMain::btnScanStopClick() {}
void TFrmMain::ScanFinished(unsigned) {}
void TFrmMain::btnCheckClick() {}
void TFrmMain::btnUnCheckClick() {}
void TFrmMain::ResetScanCounters() {}
void TFrmMain::btnDeleteItemsClick() {}
void TFrmMain::FlatButton1Click() {}
void TFrmMain::RegistryCleanCreated() {}

}  // namespace vsc
