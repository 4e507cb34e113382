// Fonts, help files and shared files: the value-list checks on scratch keys.
#include <gtest/gtest.h>

#include <cstdint>

#include "CheckTestSupport.h"
#include "support/TestSupport.h"

using namespace vsc;
using namespace vsc::test;

namespace {

void SetDword(const ScratchKey& key, const std::string& name, std::int32_t value, DWORD type = REG_DWORD) {
    key.SetBytes("", name, &value, sizeof value, type);
}

}  // namespace

TEST(ScanFonts, TestsBareNamesInTheFontFolderAndFullPathsAsTheyStand) {
    ScratchDir windir("windir");
    windir.WriteFile("Fonts\\present.ttf");
    const std::string elsewhere = windir.WriteFile("Mine\\own.ttf");
    EnvOverride env("windir", windir.Path());

    ScratchKey key("fonts");
    key.SetString("", "Present (TrueType)", "present.ttf");
    key.SetString("", "Arial (TrueType)", "arial.ttf");
    key.SetString("", "Own", elsewhere);
    key.SetString("", "Gone", windir.Path() + "\\Mine\\gone.ttf");
    key.SetString("", "Expand", "%windir%\\Fonts\\present.ttf", REG_EXPAND_SZ);  // never expanded

    CheckRun run(4);
    ScanFonts(run.scan(), key.Path());
    EXPECT_EQ(SortedByName(run.Problems()), (std::vector<Problem>{
                                  {key.Path(), "Arial (TrueType)", "arial.ttf", "4"},
                                  {key.Path(), "Expand", "%windir%\\Fonts\\present.ttf", "4"},
                                  {key.Path(), "Gone", windir.Path() + "\\Mine\\gone.ttf", "4"},
                              }));
}

TEST(ScanFonts, NeverReportsBlankDataDefaultValueQuestionMarksOrOtherKinds) {
    ScratchDir windir("windir");
    EnvOverride env("windir", windir.Path());
    ScratchKey key("fonts");
    key.SetString("", "", "gone.ttf");  // the key's default value
    key.SetString("", "Blank", "   ");
    key.SetString("", "Lost", "?????.ttf");
    key.SetString("", "  ", "gone.ttf");
    key.SetBytes("", "Binary", "gone.ttf", 9, REG_BINARY);
    SetDword(key, "Number", 7);

    CheckRun run(4);
    ScanFonts(run.scan(), key.Path());
    EXPECT_TRUE(run.Problems().empty());
}

TEST(ScanFonts, MissingKeyAndStopRecordNothing) {
    CheckRun run(4);
    ScanFonts(run.scan(), "HKEY_CURRENT_USER\\Software\\VscTest\\no such key");
    EXPECT_TRUE(run.Problems().empty());

    ScratchKey key("fonts");
    key.SetString("", "Arial", "C:\\vsc-gone\\arial.ttf");
    run.RequestStop();
    ScanFonts(run.scan(), key.Path());
    EXPECT_TRUE(run.Problems().empty());
}

TEST(ScanHelpFiles, JoinsTheFolderInTheDataWithTheFileInTheName) {
    ScratchDir help("help");
    help.WriteFile("present.hlp");
    ScratchKey key("help");
    key.SetString("", "present.hlp", help.Path());
    key.SetString("", "trailing.hlp", help.Path() + "\\");  // doubled backslash: still a valid path
    key.SetString("", "absent.chm", help.Path());           // existing folder, missing file
    key.SetString("", "elsewhere.hlp", "C:\\vsc-gone");

    // The trailing-backslash value names a file that exists once it is written.
    help.WriteFile("trailing.hlp");
    CheckRun run(5);
    ScanHelpFiles(run.scan(), key.Path());
    EXPECT_EQ(SortedByName(run.Problems()), (std::vector<Problem>{
                                  {key.Path(), "absent.chm", help.Path(), "5"},
                                  {key.Path(), "elsewhere.hlp", "C:\\vsc-gone", "5"},
                              }));
}

TEST(ScanHelpFiles, PassesOverPathNamesBlankAndForeignValues) {
    ScratchKey key("help");
    key.SetString("", "C:\\vsc-gone\\a.hlp", "C:\\vsc-gone");  // a name that is itself a path
    key.SetString("", "", "C:\\vsc-gone");
    key.SetString("", "b.hlp", "");
    key.SetString("", "c.hlp", "C:\\vsc-?gone");
    key.SetBytes("", "d.hlp", "C:\\x", 5, REG_BINARY);
    CheckRun run(5);
    ScanHelpFiles(run.scan(), key.Path());
    EXPECT_TRUE(run.Problems().empty());
}

TEST(ScanSharedFiles, ReportsMissingDriveQualifiedFilesWithTheCountAsText) {
    ScratchDir dir("shared");
    const std::string present = dir.WriteFile("here.dll");
    ScratchKey key("shared");
    key.SetString("", "C:\\vsc-gone\\text.dll", "1");  // not a number: passed over, the walk goes on
    SetDword(key, "C:\\vsc-gone\\gone.dll", 1);
    SetDword(key, "C:\\vsc-gone\\neg.dll", -5);
    SetDword(key, present, 3);
    SetDword(key, "C:\\vsc-gone\\page.html", 1);  // extension of four characters
    SetDword(key, "gone.dll", 1);                 // no drive colon in second place
    SetDword(key, "C:\\a", 1);                    // too short
    SetDword(key, "C:\\vsc-?\\lost.dll", 1);      // a name that did not survive the code page
    key.SetBytes("", "C:\\vsc-gone\\bin.dll", "\1\0\0\0", 4, REG_BINARY);
    SetDword(key, "", 1);

    CheckRun run(6);
    ScanSharedFiles(run.scan(), key.Path());
    EXPECT_EQ(SortedByName(run.Problems()), (std::vector<Problem>{
                                  {key.Path(), "C:\\vsc-gone\\gone.dll", "1", "6"},
                                  {key.Path(), "C:\\vsc-gone\\neg.dll", "-5", "6"},
                              }));
}
