// ProgressBar: the setting rules against a recording indicator, and the QProgressBar one.
#include "gui/controls/progress_bar.h"

#include <QProgressBar>
#include <QTest>

#include "gui/controls/property_bag.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {

// Records every call; optionally behaves like an old indicator that ignores 32-bit ranges.
struct Log {
    QStringList calls;
    int created = 0;
};

class RecordingChild : public ProgressChild {
  public:
    RecordingChild(Log& log, bool only16Bit) : log_(log), only16Bit_(only16Bit) {}
    void SetPosition(int32_t p) override {
        position_ = p;
        log_.calls << QString("pos %1").arg(p);
    }
    int32_t Position() const override { return position_; }
    void SetStep(int32_t s) override {
        step_ = s;
        log_.calls << QString("step %1").arg(s);
    }
    void StepIt() override {
        position_ = position_ + step_ > max_ ? min_ : position_ + step_;
        log_.calls << "stepit";
    }
    void SetRange32(int32_t lo, int32_t hi) override {
        log_.calls << QString("range32 %1 %2").arg(lo).arg(hi);
        if (!only16Bit_) min_ = lo, max_ = hi;
    }
    int32_t RangeLimit(bool lower) const override { return lower ? min_ : max_; }
    void SetRange16(uint16_t lo, uint16_t hi) override {
        log_.calls << QString("range16 %1 %2").arg(lo).arg(hi);
        min_ = lo, max_ = hi;
    }
    void SetBarColor(OleColor c) override { log_.calls << QString("bar %1").arg(c, 0, 16); }
    void SetBackColor(OleColor c) override { log_.calls << QString("back %1").arg(c, 0, 16); }
    void SetBorderStyle(int32_t s) override { log_.calls << QString("border %1").arg(s); }

  private:
    Log& log_;
    bool only16Bit_;
    int32_t position_ = 0, step_ = 10, min_ = 0, max_ = 100;
};

class RecordingFactory : public ProgressChildFactory {
  public:
    RecordingFactory(Log& log, bool only16Bit = false) : log_(log), only16Bit_(only16Bit) {}
    std::unique_ptr<ProgressChild> Create(bool, bool) override {
        ++log_.created;
        return std::make_unique<RecordingChild>(log_, only16Bit_);
    }

  private:
    Log& log_;
    bool only16Bit_;
};

}  // namespace

class ProgressBarTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void writingTheStoredValueSendsNothing() {
        Log log;
        RecordingFactory factory(log);
        ProgressBarModel bar(&factory);
        bar.CreateChild();
        log.calls.clear();
        bar.SetPosition(7);
        bar.SetPosition(7);
        bar.SetStep(3);
        bar.SetStep(3);
        bar.SetForeColor(0x0000FF);
        bar.SetForeColor(0x0000FF);
        QCOMPARE(log.calls, (QStringList{"pos 7", "step 3", "bar ff"}));
    }

    void stepItWithoutIndicatorAddsTheStep() {
        ProgressBarModel bar(nullptr);
        bar.SetStep(5);
        for (int i = 0; i < 3; ++i) bar.StepIt();
        QCOMPARE(bar.Position(), 15);
        bar.SetPosition(std::numeric_limits<int32_t>::max() - 1);
        bar.StepIt();  // held at the limit instead of overflowing
        QCOMPARE(bar.Position(), std::numeric_limits<int32_t>::max());
    }

    void stepItWithIndicatorFollowsTheIndicator() {
        Log log;
        RecordingFactory factory(log);
        ProgressBarModel bar(&factory);
        bar.CreateChild();
        bar.SetMin(0);
        bar.SetMax(10);
        bar.SetStep(4);
        bar.SetPosition(8);
        bar.StepIt();  // 12 is past the maximum: the indicator starts over
        QCOMPARE(bar.Position(), 0);
        bar.SetPosition(0);  // equal to the stored value: nothing to send
        QCOMPARE(log.calls.last(), QString("stepit"));
    }

    void oldIndicatorsGetSixteenBitRanges() {
        Log log;
        RecordingFactory factory(log, true);
        ProgressBarModel bar(&factory);
        bar.CreateChild();
        log.calls.clear();
        bar.SetMin(0);
        bar.SetMax(70000);
        QCOMPARE(log.calls.last(), QString("range16 0 4464"));

        Log modern;
        RecordingFactory modernFactory(modern);
        ProgressBarModel full(&modernFactory);
        full.CreateChild();
        full.SetMax(70000);
        QVERIFY(!modern.calls.join(',').contains("range16"));
    }

    // A new indicator gets every setting, so re-creating it keeps what was shown.
    void changingSmoothKeepsPositionBorderColoursAndStep() {
        Log log;
        RecordingFactory factory(log);
        ProgressBarModel bar(&factory);
        bar.CreateChild();
        bar.SetPosition(42);
        bar.SetBorderStyle(2);
        bar.SetBackColor(0x00FF00);
        bar.SetStep(7);
        log.calls.clear();
        bar.SetSmooth(true);
        QCOMPARE(log.created, 2);
        for (const char* expected : {"pos 42", "border 2", "back ff00", "bar 8000000d", "step 7"}) {
            QVERIFY2(log.calls.contains(expected), expected);
        }
        QCOMPARE(bar.Position(), 42);
    }

    void savedSettingsUseTheirDefaults() {
        ProgressBarModel fresh(nullptr);
        MemoryPropertyBag bag;
        fresh.Save(bag);
        QVERIFY(bag.Contains("Min"));  // a new bar starts at 1, the saved default is 0
        QCOMPARE(bag.Size(), std::size_t(1));

        Log log;
        RecordingFactory factory(log);
        ProgressBarModel loaded(&factory);
        loaded.Load(MemoryPropertyBag());
        QCOMPARE(loaded.Min(), 0);
        QCOMPARE(loaded.Max(), 100);
        QCOMPARE(loaded.BorderStyle(), 1);
        QVERIFY(log.calls.contains("border 1"));  // always applied on loading
    }

    void qtIndicatorShowsTheSettings() {
        ProgressBar bar;
        bar.resize(200, 16);
        auto* indicator = qobject_cast<QProgressBar*>(bar.hwnd());
        QVERIFY(indicator);
        bar.setMin(0);
        bar.setMax(70000);
        bar.setPosition(65000);
        QCOMPARE(indicator->maximum(), 70000);
        QCOMPARE(indicator->value(), 65000);
        bar.setStep(10000);
        bar.StepIt();
        QCOMPARE(indicator->value(), 5000);  // past the maximum it starts over
        QCOMPARE(bar.Position(), 5000);
        bar.setOrientation(ProgressBarModel::kVertical);
        indicator = qobject_cast<QProgressBar*>(bar.hwnd());
        QCOMPARE(indicator->orientation(), Qt::Vertical);
        QCOMPARE(indicator->value(), 5000);
    }
};

QTEST_MAIN(ProgressBarTest)
#include "progress_bar_test.moc"
