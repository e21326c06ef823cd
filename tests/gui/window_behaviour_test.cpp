// How the windows behave around the work: where the focus starts, that nothing moves when a
// job starts and ends, and the e-mail window's size, Escape key and place.
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "gui/app/window_placement.h"
#include "gui/mail/mail_window.h"
#include "window_driver.h"

using namespace sealwise::gui;

class WindowBehaviourTest : public QObject {
    Q_OBJECT

    testing::WindowDriver d_;

    QRect Place(const char* name) {
        QWidget* widget = d_.W(name);
        return QRect(widget->mapTo(d_.window.get(), QPoint(0, 0)), widget->size());
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void cleanup() { d_.Close(); }

    // The focus starts where the page's work begins, never on a flag.
    void focusStartsOnTheFirstUsefulControl_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("focus");
        QTest::newRow("files / encrypt") << ""
                                         << "CmdAdCryptdfile";
        QTest::newRow("files / decrypt") << "/filed"
                                         << "TxtDecrFile";
        QTest::newRow("container given") << "/setdecrfile /tmp/box.vesk"
                                         << "TxtCode";
    }
    void focusStartsOnTheFirstUsefulControl() {
        QFETCH(QString, commandLine);
        QFETCH(QString, focus);
        d_.Open(commandLine.toStdString());
        QVERIFY(QTest::qWaitForWindowActive(d_.window.get()));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    // The lamps are hidden while a job runs; their place stays, so nothing beside them moves.
    void nothingMovesWhenAJobStartsAndEnds() {
        d_.Open();
        QApplication::processEvents();
        const QStringList watched = {"TxtCode", "Label3", "QualityDisplay", "PictAmpel",
                                     "Command4"};
        QList<QRect> idle;
        for (const QString& name : watched) idle << Place(qPrintable(name));
        d_.window->SetBusy(true, false);
        QApplication::processEvents();
        QVERIFY(d_.W("PictAmpel")->isHidden());
        for (int i = 0; i < watched.size(); ++i) {
            if (watched[i] != "PictAmpel") QCOMPARE(Place(qPrintable(watched[i])), idle[i]);
        }
        d_.window->SetBusy(false, false);
        QApplication::processEvents();
        for (int i = 0; i < watched.size(); ++i) QCOMPARE(Place(qPrintable(watched[i])), idle[i]);
    }

    // The e-mail window keeps its natural height, closes with Escape and opens centred on
    // the screen of the main window.
    void mailWindowHasAFixedHeightAndClosesWithEscape() {
        d_.Open();
        MailWindow* mail = MailWindow::ShowFor(d_.window.get(), d_.services, "armour");
        QApplication::processEvents();
        QVERIFY(mail->isVisible());
        QCOMPARE(mail->minimumHeight(), mail->maximumHeight());
        // Room for every row, and no more than they ask for.
        QVERIFY(mail->height() >= mail->layout()->totalMinimumSize().height());
        QVERIFY(mail->height() <= mail->layout()->totalSizeHint().height());
        const QRect area = AvailableScreenArea(d_.window.get());
        QVERIFY((mail->frameGeometry().center() - area.center()).manhattanLength() <= 4);
        QPointer<MailWindow> open = mail;
        QTest::keyClick(testing::Child<QWidget>(mail, "TxtSender"), Qt::Key_Escape);
        QTRY_VERIFY(open.isNull() || !open->isVisible());
    }
};

QTEST_MAIN(WindowBehaviourTest)
#include "window_behaviour_test.moc"
