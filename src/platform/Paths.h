// The program's own folder and the files it keeps there. Everything the program writes beside
// itself is found through these functions, so the window, its dialogs and the console agree.
#pragma once

#include <string>

namespace vsc {

// The folder of the running executable, without the trailing backslash; "." when the system
// cannot say (the files below are then looked for in the current folder).
std::string ExecutableFolder();

// The executable's folder followed by "\backup" (no trailing separator): where repairs write their
// backup files and the restore dialog lists them. The folder may not exist.
std::string ProgramBackupFolder();

// The executable's folder followed by "\Config.Ini".
std::string DefaultIniFileName();

// The executable's folder followed by "\VSysCleaner.chm".
std::string HelpFileName();

}  // namespace vsc
