// The working display: lamps, elapsed-time counter, and the main window's busy state.
#include "gui/working/working_display.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "gui/controls/progress_bar.h"
#include "gui/jobs/job_thread.h"
#include "gui/main/main_window.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {
using Digits = std::array<int, 4>;
}

class WorkingDisplayTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void lampsForEightSteps() {
        WorkingDisplay display;
        display.SetLamps(kLampsAtStart);
        const std::array<std::pair<int, ProgressLamps>, 4> expected = {{
            {0, {true, false, false}},
            {2, {true, true, false}},
            {4, {false, true, false}},
            {6, {false, true, true}},
        }};
        for (const auto& [p, lamps] : expected) {
            display.UpdateLamps(p, 8);
            QVERIFY2(display.Lamps() == lamps, qPrintable(QString("p = %1").arg(p)));
        }
    }

    void counterShowsMinutesAndSecondsSinceTheReset() {
        double now = 3600.4;
        WorkingDisplay display;
        display.SetClock([&] { return now; });
        display.TickCounter();  // timer stopped: reset
        QCOMPARE(display.ShownDigits(), (Digits{0, 0, 0, 0}));
        display.CounterTimer()->start();
        now += 65;
        display.TickCounter();
        QCOMPARE(display.ShownDigits(), (Digits{0, 1, 0, 5}));
        now = 3600 + 99 * 60 + 59;
        display.TickCounter();
        QCOMPARE(display.ShownDigits(), (Digits{9, 9, 5, 9}));
        now += 1;  // 100 minutes wrap to 00:00
        display.TickCounter();
        QCOMPARE(display.ShownDigits(), (Digits{0, 0, 0, 0}));
        display.CounterTimer()->stop();
    }

    void counterKeepsCountingAcrossMidnight() {
        double now = 86390.4;
        WorkingDisplay display;
        display.SetClock([&] { return now; });
        display.TickCounter();
        display.CounterTimer()->start();
        now = 5.2;  // 15 seconds later, on the next day
        display.TickCounter();
        QCOMPARE(display.ShownDigits(), (Digits{0, 0, 1, 5}));
        now = 125.0;
        display.TickCounter();
        QCOMPARE(display.ShownDigits(), (Digits{0, 2, 1, 5}));
        display.CounterTimer()->stop();
    }

    void timerTicksEvery800Milliseconds() {
        double now = 100;
        WorkingDisplay display;
        display.SetClock([&] { return now; });
        QCOMPARE(display.CounterTimer()->interval(), 800);
        QVERIFY(!display.CounterTimer()->isActive());
        display.TickCounter();
        now = 107;
        display.CounterTimer()->start();
        QTRY_COMPARE_WITH_TIMEOUT(display.ShownDigits(), (Digits{0, 0, 0, 7}), 3000);
        display.CounterTimer()->stop();
    }

    void busyStateSwapsPanelsAndRunsTheCounter() {
        MainWindow window(services_, "");
        window.show();
        auto* working = testing::Child<QWidget>(&window, "FrameW");
        window.Working()->ItemProgress()->setPosition(50);
        window.SetBusy(true, false);
        QVERIFY(window.IsBusy());
        QVERIFY(working->isVisible());
        QVERIFY(!testing::Child<QWidget>(&window, "TabStr")->isEnabled());
        QVERIFY(testing::Child<QWidget>(&window, "PictAmpel")->isHidden());
        for (const char* frame : {"Frame_0", "Frame_1", "FramePwd"}) {
            QVERIFY2(!testing::Child<QWidget>(&window, frame)->isEnabled(), frame);
        }
        QVERIFY(window.Working()->CounterTimer()->isActive());
        QCOMPARE(window.Working()->ItemProgress()->Position(), 0);
        QCOMPARE(window.Working()->ShownDigits(), (Digits{0, 0, 0, 0}));
        QVERIFY(QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        QVERIFY(testing::Child<QPushButton>(&window, "CmdCancel")->isEnabled());

        window.SetBusy(false, false);
        QVERIFY(!window.IsBusy());
        QVERIFY(working->isHidden());
        QVERIFY(!testing::Child<QWidget>(&window, "PictAmpel")->isHidden());
        QVERIFY(testing::Child<QWidget>(&window, "PictArbeitampel")->isHidden());
        for (const char* frame : {"Frame_0", "Frame_1", "FramePwd"}) {
            QVERIFY2(testing::Child<QWidget>(&window, frame)->isEnabled(), frame);
        }
        QVERIFY(!window.Working()->CounterTimer()->isActive());
        QVERIFY(!QApplication::overrideCursor());
    }

    void scanningHidesProgressAndCounter() {
        MainWindow window(services_, "");
        window.show();
        window.SetBusy(true, true);
        for (const char* name : {"ProgressBar1", "ProgressBar2", "ImgCount_0", "ImgCount_4"}) {
            QVERIFY2(testing::Child<QWidget>(&window, name)->isHidden(), name);
        }
        QVERIFY(!window.Working()->CounterTimer()->isActive());
        window.SetBusy(false, true);
        for (const char* name : {"ProgressBar1", "ProgressBar2", "ImgCount_0", "ImgCount_4"}) {
            QVERIFY2(!testing::Child<QWidget>(&window, name)->isHidden(), name);
        }
    }

    void cancelRaisesTheFlag() {
        MainWindow window(services_, "");
        window.show();
        window.SetBusy(true, false);
        QTest::mouseClick(testing::Child<QPushButton>(&window, "CmdCancel"), Qt::LeftButton);
        QVERIFY(window.cancelRequested());
        window.SetBusy(false, false);

        // Without a job only the flag is set.
        MainWindow idle(services_, "");
        testing::Child<QPushButton>(&idle, "CmdCancel")->click();
        QVERIFY(idle.cancelRequested());
    }

    // The job thread's stop request reaches the running job; the next job starts clean.
    void jobThreadStopReachesTheRunningJob() {
        JobThread jobs;
        const std::stop_token token = jobs.NewStopToken();
        std::atomic<bool> started{false}, sawStop{false};
        bool finished = false;
        jobs.Start(
            [&] {
                started = true;
                while (!token.stop_requested()) std::this_thread::yield();
                sawStop = true;
            },
            [&] { finished = true; });
        while (!started) std::this_thread::yield();
        jobs.RequestStop();
        QTRY_VERIFY(finished);
        QVERIFY(sawStop);
        QVERIFY(!jobs.NewStopToken().stop_requested());
    }
};

QTEST_MAIN(WorkingDisplayTest)
#include "working_display_test.moc"
