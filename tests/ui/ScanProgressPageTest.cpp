// The registry scan page's timer sets only the labels whose figures changed since it last showed
// them; counters reset between scans must still come back on the next tick.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/UFrmMain.h"
#include "widgets/FlatControls.h"

using namespace vsc;

TEST(ScanProgressPage, ShowsChangedFiguresAndEverythingAgainAfterAReset) {
    TFrmMain form;
    form.QuitOnDestroy = false;
    form.CreateMainWindow();
    // A worker that never runs: the test records its problems, which publishes the counts.
    form.Registry().FollowWorker(std::make_unique<TRegScanThread>(true, std::make_shared<ScanResultLists>(),
                                                                  std::string(kSelectionLength, '0'), ""));
    TRegScanThread& worker = *form.Registry().Worker();
    FoundProblem problem;
    problem.Category = 13;
    worker.Record(problem);
    worker.Record(problem);
    form.Registry().SetScanRunning(true);

    form.Registry().tmrScanProgressTimer();
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[13]), "2");
    EXPECT_EQ(ControlText(form.Registry().Ui().labTtoalError), "2");
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[12]), "0");

    form.Registry().ResetScanCounters();
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[13]), "0");
    form.Registry().tmrScanProgressTimer();  // the same figures as before the reset: shown again
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[13]), "2");
    EXPECT_EQ(ControlText(form.Registry().Ui().labTtoalError), "2");

    problem.Category = 4;
    worker.Record(problem);
    form.Registry().tmrScanProgressTimer();
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[4]), "1");
    EXPECT_EQ(ControlText(form.Registry().Ui().ScanCaption[13]), "2");
    EXPECT_EQ(ControlText(form.Registry().Ui().labTtoalError), "3");
    form.Registry().SetScanRunning(false);
}
