// Driver of the e-mail window's end-to-end test (run by mail_window_end_to_end.py, which starts
// the mail service and an SMTP sink on 127.0.0.1 and names the service in SEALWISE_MAIL_URL):
// puts the armour of the file SW_E2E_ARMOUR into the main window's result box, opens the e-mail
// window with the mail button, fills it in and sends.
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/strings.h"
#include "gui/mail/mail_window.h"
#include "gui/mail/mail_window_names.h"
#include "gui/main/main_window.h"
#include "gui_testing.h"

using namespace sealwise::gui;
namespace names = sealwise::gui::mail_window_names;

class MailWindowEndToEnd : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void sendsTheResultTextThroughTheService() {
        testing::UseProgramLook();
        sealwise::SetLanguageOffset(900);
        QVERIFY(!qEnvironmentVariableIsEmpty("SEALWISE_MAIL_URL"));
        QFile armourFile(qEnvironmentVariable("SW_E2E_ARMOUR"));
        QVERIFY(armourFile.open(QIODevice::ReadOnly));
        const QString armour = QString::fromUtf8(armourFile.readAll());

        testing::ScriptedServices services;
        MainWindow main(services, "");
        main.show();
        testing::Child<QPlainTextEdit>(&main, "txtResults")->setPlainText(armour);
        auto* mailButton = testing::Child<QPushButton>(&main, "cmdMail");
        mailButton->setEnabled(true);  // as after an encryption
        QTest::mouseClick(mailButton, Qt::LeftButton);
        QPointer<MailWindow> window = main.findChild<MailWindow*>(names::kWindow);
        QVERIFY(window);

        // Key clicks carry ASCII only; the name with its umlaut is set as a whole.
        testing::Child<QLineEdit>(window, names::kSenderName)->setText("Ann Läufer");
        QTest::keyClicks(testing::Child<QLineEdit>(window, names::kSenderAddress),
                         "ann@example.org");
        QTest::keyClicks(testing::Child<QLineEdit>(window, names::kRecipient), "bob@example.net");
        testing::Child<QPlainTextEdit>(window, names::kMessage)
            ->setPlainText("Hi Bob,\nthe passphrase comes by phone.");
        QSignalSpy finished(window.data(), &MailWindow::SendFinished);
        QTest::mouseClick(testing::Child<QPushButton>(window, names::kSend), Qt::LeftButton);
        QVERIFY(finished.wait(30000));
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(services.messages[0].text,
                 QString::fromStdString(sealwise::GetResText(sealwise::Msg::MailSent)));
        QTRY_VERIFY(window.isNull());
    }
};

QTEST_MAIN(MailWindowEndToEnd)
#include "mail_window_e2e_driver.moc"
