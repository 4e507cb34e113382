// Checks whose work is still to come; each visits nothing yet.
#include "registry/RegScanThread.h"

namespace vsc {

void TRegScanThread::ScanDefaultValues(const std::string&) {}
void TRegScanThread::ScanFonts(const std::string&) {}
void TRegScanThread::ScanHelpFiles(const std::string&) {}
void TRegScanThread::ScanSharedFiles(const std::string&) {}
void TRegScanThread::ScanStartupEntries(const std::string&) {}
void TRegScanThread::ScanSoundEvents(const std::string&) {}
void TRegScanThread::ScanFilePaths(const std::string&) {}
void TRegScanThread::ScanShortcuts(const std::string&) {}

}  // namespace vsc
