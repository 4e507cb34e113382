// The registry scan page's timer sets only the labels whose figures changed since it last showed
// them; counters reset between scans must still come back on the next tick.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/UFrmMain.h"
#include "widgets/FlatControls.h"

using namespace vsc;

TEST(ScanProgressPage, ShowsChangedFiguresAndEverythingAgainAfterAReset) {
    TFrmMain form;
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    // A worker that never runs: the test records its problems, which publishes the counts.
    form.ScanWorker = std::make_unique<TRegScanThread>(true, std::make_shared<ScanResultLists>(),
                                                       std::string(kSelectionLength, '0'), "");
    TRegScanThread& worker = *form.ScanWorker;
    worker.SetCategoryIndex(13);
    worker.AddProblem();
    worker.AddProblem();
    form.RegScanIdle = false;
    form.RegScanActive = true;

    form.tmrScanProgressTimer();
    EXPECT_EQ(ControlText(form.ScanCaption[13]), "2");
    EXPECT_EQ(ControlText(form.labTtoalError), "2");
    EXPECT_EQ(ControlText(form.ScanCaption[12]), "0");

    form.ResetScanCounters();
    EXPECT_EQ(ControlText(form.ScanCaption[13]), "0");
    form.tmrScanProgressTimer();  // the same figures as before the reset: shown again
    EXPECT_EQ(ControlText(form.ScanCaption[13]), "2");
    EXPECT_EQ(ControlText(form.labTtoalError), "2");

    worker.SetCategoryIndex(4);
    worker.AddProblem();
    form.tmrScanProgressTimer();
    EXPECT_EQ(ControlText(form.ScanCaption[4]), "1");
    EXPECT_EQ(ControlText(form.ScanCaption[13]), "2");
    EXPECT_EQ(ControlText(form.labTtoalError), "3");
    form.RegScanIdle = true;
}
