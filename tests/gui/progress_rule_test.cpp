// How the reports of the file jobs show on the working display: bars and lamps per job kind.
#include "gui/working/progress_rule.h"

#include <QTest>
#include <vector>

using namespace sealwise::gui;

Q_DECLARE_METATYPE(RunKind)

namespace {

constexpr ProgressLamps kRed{true, false, false}, kRedYellow{true, true, false},
    kYellow{false, true, false}, kYellowGreen{false, true, true};

struct Step {
    int64_t done, total;
    BarSettings bar;
    ProgressLamps lamps;
};

struct Finish {
    int64_t number;
    int32_t runPosition;
    ProgressLamps lamps;
};

}  // namespace

Q_DECLARE_METATYPE(ProgressLamps)
Q_DECLARE_METATYPE(std::vector<Step>)
Q_DECLARE_METATYPE(std::vector<Finish>)

namespace sealwise::gui {

char* toString(const ProgressLamps& l) {
    return QTest::toString(
        QString("red %1 yellow %2 green %3").arg(l.red).arg(l.yellow).arg(l.green));
}

char* toString(const BarSettings& b) {
    return QTest::toString(
        QString("max %1 min %2 position %3").arg(b.max).arg(b.min).arg(b.position));
}

}  // namespace sealwise::gui

class ProgressRuleTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // A run of one item: the item bar per kind, and the lamps follow that item.
    void singleItemDrivesItemBarAndLamps_data() {
        QTest::addColumn<RunKind>("kind");
        QTest::addColumn<std::vector<Step>>("steps");
        // Four chunks on a bar of five: 0, then c + 1 after chunk c.
        QTest::newRow("encrypt 4 chunks") << RunKind::kEncryptFiles
                                          << std::vector<Step>{{0, 4, {5, 0, 0}, kRed},
                                                               {1, 4, {5, 0, 2}, kRedYellow},
                                                               {2, 4, {5, 0, 3}, kYellow},
                                                               {3, 4, {5, 0, 4}, kYellowGreen},
                                                               {4, 4, {5, 0, 5}, kYellowGreen}};
        // A file that grows while read: the bar grows with it.
        QTest::newRow("encrypt growing")
            << RunKind::kEncryptFiles
            << std::vector<Step>{{0, 1, {2, 0, 0}, kRed}, {1, 2, {3, 0, 2}, kYellow}};
        // Bytes of an entry in thousandths, rounded.
        QTest::newRow("restore 3 records")
            << RunKind::kDecryptContainer
            << std::vector<Step>{{0, 300, {1000, 0, 0}, kRed},
                                 {100, 300, {1000, 0, 333}, kRedYellow},
                                 {200, 300, {1000, 0, 667}, kYellow},
                                 {300, 300, {1000, 0, 1000}, kYellowGreen}};
    }
    void singleItemDrivesItemBarAndLamps() {
        QFETCH(RunKind, kind);
        QFETCH(std::vector<Step>, steps);
        ProgressRule rule(kind);
        rule.RunStarted(1);
        QVERIFY(!rule.runVisible());
        for (const Step& step : steps) {
            rule.ItemProgress(step.done, step.total);
            QCOMPARE(rule.item(), step.bar);
            QCOMPARE(rule.lamps(), step.lamps);
        }
    }

    // Several items: the lamps follow finished items, and the item's own progress leaves them.
    void severalItemsDriveRunBarAndLamps_data() {
        QTest::addColumn<RunKind>("kind");
        QTest::addColumn<int>("items");
        QTest::addColumn<std::vector<Finish>>("finishes");
        // p = i of t = 8.
        QTest::newRow("encrypt 8")
            << RunKind::kEncryptFiles << 8
            << std::vector<Finish>{{0, 1, kRed},         {1, 2, kRed},        {2, 3, kRedYellow},
                                   {3, 4, kRedYellow},   {4, 5, kYellow},     {5, 6, kYellow},
                                   {6, 7, kYellowGreen}, {7, 8, kYellowGreen}};
        // p = e of t = n - 1 = 8; entries without bytes are never reported.
        QTest::newRow("restore 9")
            << RunKind::kDecryptContainer << 9
            << std::vector<Finish>{
                   {1, 2, kRed}, {2, 3, kRedYellow}, {4, 5, kYellow}, {6, 7, kYellowGreen}};
    }
    void severalItemsDriveRunBarAndLamps() {
        QFETCH(RunKind, kind);
        QFETCH(int, items);
        QFETCH(std::vector<Finish>, finishes);
        ProgressRule rule(kind);
        rule.RunStarted(items);
        QVERIFY(rule.runVisible());
        QCOMPARE(rule.run(), (BarSettings{items, 0, 0}));
        for (const Finish& finish : finishes) {
            const ProgressLamps before = rule.lamps();
            rule.ItemProgress(1000, 1000);
            QCOMPARE(rule.lamps(), before);
            rule.ItemFinished(finish.number);
            QCOMPARE(rule.run().position, finish.runPosition);
            QCOMPARE(rule.lamps(), finish.lamps);
        }
    }

    // The end: green alone only for a completed run; the run bar shows again either way.
    void runEnd_data() {
        QTest::addColumn<RunKind>("kind");
        QTest::addColumn<int>("items");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<int>("runPosition");
        QTest::addColumn<ProgressLamps>("lamps");
        // A restore counts the trailing records that hold no file; a single file never moved
        // its hidden run bar.
        QTest::newRow("restore completed")
            << RunKind::kDecryptContainer << 5 << true << 5 << kLampsAtEnd;
        QTest::newRow("restore single")
            << RunKind::kDecryptContainer << 1 << true << 1 << kLampsAtEnd;
        QTest::newRow("restore cancelled") << RunKind::kDecryptContainer << 5 << false << 1 << kRed;
        QTest::newRow("encrypt single") << RunKind::kEncryptFiles << 1 << true << 0 << kLampsAtEnd;
        QTest::newRow("encrypt cancelled") << RunKind::kEncryptFiles << 1 << false << 0 << kRed;
    }
    void runEnd() {
        QFETCH(RunKind, kind);
        QFETCH(int, items);
        QFETCH(bool, completed);
        QFETCH(int, runPosition);
        QFETCH(ProgressLamps, lamps);
        ProgressRule rule(kind);
        rule.RunStarted(items);
        rule.ItemFinished(0);
        rule.RunFinished(completed);
        QVERIFY(rule.runVisible());
        QCOMPARE(rule.run().position, runPosition);
        QCOMPARE(rule.lamps(), lamps);
    }
};

QTEST_APPLESS_MAIN(ProgressRuleTest)
#include "progress_rule_test.moc"
