// The process entry of VSysScan.exe, the console program (see app/ScanConsole.h).
#include <string>
#include <vector>

#include "app/ScanConsole.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return vsc::RunScanConsole(args);
}
