// The e-mail window: its fields and keyboard order, the address and length checks before
// sending, the three outcomes of a send against a loopback server, the stored text being the
// one sent, the send on a worker thread, and how the main window opens it.
#include "gui/mail/mail_window.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "../mail/loopback_http_server.h"
#include "app/strings.h"
#include "gui/app/command_line.h"
#include "gui/mail/mail_service_choice.h"
#include "gui/mail/mail_window_names.h"
#include "gui/main/main_window.h"
#include "gui_testing.h"
#include "mail/form_encoding.h"
#include "mail/mail_service_url.h"

using namespace sealwise::gui;
namespace names = sealwise::gui::mail_window_names;
using sealwise::testing::ClosedLoopbackPort;
using sealwise::testing::LoopbackHttpServer;

namespace {

QString Text(sealwise::Msg id) { return QString::fromStdString(sealwise::GetResText(id)); }

const QString kArmour = "QUJDREVGR0hJSktM\nTU5PUFFSU1RVVldY";

}  // namespace

class MailWindowTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;
    std::unique_ptr<QWidget> owner_;
    QPointer<MailWindow> window_;

    template <typename Widget = QWidget>
    Widget* W(const char* name) {
        return testing::Child<Widget>(window_.data(), name);
    }
    void Fill(const QString& sender, const QString& recipient) {
        W<QLineEdit>(names::kSenderName)->setText("Ann Läufer");
        W<QLineEdit>(names::kSenderAddress)->setText(sender);
        W<QLineEdit>(names::kRecipient)->setText(recipient);
    }
    void UseService(const std::string& url) { SetMailUrlOption(url); }
    // Clicks Send and waits until the outcome has been shown.
    void SendAndWait() {
        QSignalSpy finished(window_.data(), &MailWindow::SendFinished);
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);
        QVERIFY(finished.wait(20000));
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& message : services_.messages) texts << message.text;
        return texts;
    }

  private Q_SLOTS:
    void initTestCase() {
        testing::UseProgramLook();
        sealwise::testing::BypassProxiesForLoopback();
        qunsetenv(sealwise::kMailServiceUrlVariable);
    }
    void init() {
        sealwise::SetLanguageOffset(900);
        services_ = {};
        owner_ = std::make_unique<QWidget>();
        window_ = MailWindow::ShowFor(owner_.get(), services_, kArmour);
    }
    void cleanup() {
        owner_.reset();
        SetMailUrlOption(std::nullopt);
    }

    void showsLocalisedFieldsInKeyboardOrder() {
        QCOMPARE(window_->windowTitle(), Text(sealwise::Msg::SendViaEmail));
        QCOMPARE(W<QLabel>(names::kSenderNameLabel)->text(), Text(sealwise::Msg::YourName));
        QCOMPARE(W<QLabel>(names::kMessageLabel)->text(), Text(sealwise::Msg::OptionalMessage));
        QCOMPARE(W<QPushButton>(names::kSend)->text(), Text(sealwise::Msg::Send));
        QCOMPARE(W<QPushButton>(names::kClose)->text(), Text(sealwise::Msg::Cancel));
        QVERIFY(W<QLabel>(names::kWarning)->font().bold());
        const QFontMetrics crypt(W(names::kEncryptedText)->font());
        QCOMPARE(crypt.horizontalAdvance("iiii"), crypt.horizontalAdvance("WWWW"));
        QCOMPARE(W<QPlainTextEdit>(names::kEncryptedText)->toPlainText(), kArmour);

        QStringList visited;
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.data()));
        W(names::kSenderName)->setFocus();
        for (int step = 0; step < 7; ++step) {
            QVERIFY(QApplication::focusWidget());
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{names::kSenderName, names::kSenderAddress, names::kRecipient,
                                       names::kMessage, names::kEncryptedText, names::kSend,
                                       names::kClose}));
    }

    void invalidAddressesAreRefusedBeforeSending() {
        LoopbackHttpServer server("ok");
        UseService(server.url());
        const QStringList kRefused = {"a@bc.de", "a@bcd.e", "a@bcd.de ", "@bcd.de", "a@1cd.de"};
        for (const QString& address : kRefused) {
            services_.messages.clear();
            Fill("ann@example.org", address);
            QTest::mouseClick(W(names::kSend), Qt::LeftButton);
            QCOMPARE(Messages(), QStringList{Text(sealwise::Msg::InvalidMailAddress)});
            QCOMPARE(services_.messages[0].icon, MessageIcon::None);
            QVERIFY(!window_->IsSending());
        }
        services_.messages.clear();
        Fill("ann", "bob@example.net");  // the sender's address is checked as well
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);
        QCOMPARE(Messages(), QStringList{Text(sealwise::Msg::InvalidMailAddress)});
        QVERIFY(window_->isVisible());
        QCOMPARE(W<QLineEdit>(names::kSenderAddress)->text(), QString("ann"));
        QVERIFY(server.Request(std::chrono::seconds(0)).empty());  // nothing was posted
    }

    void valueTooLongForTheFormIsRefused() {
        LoopbackHttpServer server("ok");
        UseService(server.url());
        Fill("ann@example.org", "bob@example.net");
        W<QPlainTextEdit>(names::kMessage)->setPlainText(QString(32768, 'x'));
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);
        QCOMPARE(Messages(), QStringList{Text(sealwise::Msg::MailFieldTooLong)});
        QVERIFY(!window_->IsSending());
    }

    // A leading blank passes the check (the service decides); the stored text is sent even
    // when the box was edited, with CR LF line breaks.
    void sentFormCarriesTheStoredTextAndClosesAfterOk() {
        LoopbackHttpServer server("ok");
        UseService(server.url());
        Fill(" ann@example.org", "bob@example.net");
        W<QPlainTextEdit>(names::kMessage)->setPlainText("Hi Bob,\nbye");
        W<QPlainTextEdit>(names::kEncryptedText)->setPlainText("edited");
        SendAndWait();
        QCOMPARE(Messages(), QStringList{Text(sealwise::Msg::MailSent)});
        QTRY_VERIFY(window_.isNull());  // closed after success

        const std::string request = server.Request();
        const std::string body = request.substr(request.find("\r\n\r\n") + 4);
        const std::string expected =
            "Mode=sealwisemobile&mailabsn=Ann+L%E4ufer&mailabs=+ann%40example%2Eorg"
            "&mailadr=bob%40example%2Enet&MailText=Hi+Bob%2C%0D%0Abye&Text=" +
            sealwise::EncodeFormField("QUJDREVGR0hJSktM\r\nTU5PUFFSU1RVVldY");
        QCOMPARE(body, expected);
        QVERIFY(request.find("User-Agent: Sealwise Mobile ") != std::string::npos);
    }

    void failedSendsKeepTheWindowOpen() {
        const QString noConnection = Text(sealwise::Msg::MailSendError) + ". " +
                                     Text(sealwise::Msg::MailConnectionNeeded) + "\n\n" +
                                     Text(sealwise::Msg::OfferMailProgram);
        services_.answers = {MessageAnswer::No, MessageAnswer::Ok, MessageAnswer::No};
        {
            LoopbackHttpServer server("ok\r\n");  // not exactly "ok", and too short for a text
            UseService(server.url());
            Fill("ann@example.org", "bob@example.net");
            SendAndWait();
        }
        {
            LoopbackHttpServer server("E004 Missing field: mailabsn");
            UseService(server.url());
            SendAndWait();
        }
        {
            ClosedLoopbackPort closed;
            UseService("http://127.0.0.1:" + std::to_string(closed.port()));
            SendAndWait();
        }
        QCOMPARE(Messages(),
                 (QStringList{noConnection,
                              Text(sealwise::Msg::MailSendError) + ": Missing field: mailabsn",
                              noConnection}));
        QVERIFY(services_.openedUrls.empty());  // the offer of the mail program was declined
        QVERIFY(window_->isVisible());
        QVERIFY(W(names::kSend)->isEnabled());
    }

    void sendRunsInTheBackgroundAndClosingCancelsIt() {
        LoopbackHttpServer server({}, LoopbackHttpServer::Mode::kSilent);
        UseService(server.url());
        Fill("ann@example.org", "bob@example.net");
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);
        QVERIFY(window_->IsSending());
        QVERIFY(!W(names::kSend)->isEnabled());
        QVERIFY(W(names::kStatus)->isVisible());
        QVERIFY(!server.Request().empty());  // the event loop is free while the post waits
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);  // no second request
        QTest::mouseClick(W(names::kClose), Qt::LeftButton);
        QTRY_VERIFY(window_.isNull());
        QTest::qWait(1500);  // the cancelled request ends without a word
        QVERIFY(services_.messages.empty());
    }

    void invalidServiceAddressIsReported() {
        UseService("ftp://mail.example");
        Fill("ann@example.org", "bob@example.net");
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);
        QCOMPARE(Messages(), QStringList{QString::fromStdString(sealwise::GetResText(
                                 sealwise::Msg::InvalidMailServiceUrl, "ftp://mail.example"))});
    }

    void withoutAServiceTheMailProgramGetsTheText() {
        Fill("ann@example.org", "bob@example.net");
        W<QPlainTextEdit>(names::kMessage)->setPlainText("Hi");
        services_.answers = {MessageAnswer::Yes};
        QTest::mouseClick(W(names::kSend), Qt::LeftButton);
        QCOMPARE(Messages(), QStringList{Text(sealwise::Msg::NoMailService) + " " +
                                         Text(sealwise::Msg::OfferMailProgram)});
        QCOMPARE(services_.openedUrls.size(), std::size_t{1});
        QCOMPARE(services_.openedUrls[0].toEncoded(),
                 QByteArray("mailto:bob@example.net?subject=Encrypted%20message&body=Hi%0D%0A%0D%0A"
                            "QUJDREVGR0hJSktM%0D%0ATU5PUFFSU1RVVldY"));
        QTRY_VERIFY(window_.isNull());  // handed over: the window's work is done
    }

    void tooLongForALinkTheTextGoesToTheClipboard() {
        const QString longArmour = QString(76, 'Q') + QString("\n" + QString(76, 'Q')).repeated(30);
        window_->SetEncryptedText(longArmour);
        Fill("ann@example.org", "bob@example.net");
        ClosedLoopbackPort closed;
        UseService("http://127.0.0.1:" + std::to_string(closed.port()));
        services_.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
        SendAndWait();
        QTRY_VERIFY(window_.isNull());
        QCOMPARE(Messages().value(1), Text(sealwise::Msg::ArmourOnClipboard));
        QCOMPARE(QGuiApplication::clipboard()->text(), longArmour);
        QCOMPARE(services_.openedUrls.size(), std::size_t{1});
        QVERIFY(services_.openedUrls[0].toEncoded().endsWith(
            "body=" + QUrl::toPercentEncoding(Text(sealwise::Msg::MailtoPasteNote))));
    }

    void serviceAddressComesFromOptionThenEnvironment() {
        QVERIFY(!ChosenMailServiceUrl());
        qputenv(sealwise::kMailServiceUrlVariable, "http://127.0.0.1:8025");
        QCOMPARE(ChosenMailServiceUrl()->port, 8025);
        SetMailUrlOption("http://[::1]:9000");
        QCOMPARE(*ChosenMailServiceUrl(), (sealwise::MailServiceUrl{"::1", 9000}));
        qunsetenv(sealwise::kMailServiceUrlVariable);

        using Args = std::vector<std::string>;
        ProgramArguments taken =
            TakeProgramOptions({"--mail-url", "http://a:1", "/setencrfiles", "--mail-url"});
        QCOMPARE(taken.mailUrl, std::optional<std::string>("http://a:1"));
        QCOMPARE(JoinArguments(taken.rest), std::string("/setencrfiles --mail-url"));
        QCOMPARE(TakeProgramOptions({"--mail-url=http://b:2", "/filed"}).mailUrl,
                 std::optional<std::string>("http://b:2"));
        QCOMPARE(TakeProgramOptions({"--mail-url"}).mailUrl, std::optional<std::string>(""));
        QCOMPARE(TakeProgramOptions(Args{"/filee"}).rest, Args{"/filee"});
        QVERIFY(!TakeProgramOptions(Args{"/filee"}).mailUrl);
    }

    void mailButtonHandsOverTheResultText() {
        MainWindow main(services_, "");
        main.show();
        auto* results = testing::Child<QPlainTextEdit>(&main, "txtResults");
        results->setPlainText(kArmour);
        auto* button = testing::Child<QPushButton>(&main, "cmdMail");
        button->setEnabled(true);  // as after an encryption
        QTest::mouseClick(button, Qt::LeftButton);
        auto* opened = main.findChild<MailWindow*>(names::kWindow);
        QVERIFY(opened && opened->isVisible() && !opened->isModal());
        QCOMPARE(opened->EncryptedText(), kArmour);

        // A second click brings back the same window with the current text; typed fields stay.
        testing::Child<QLineEdit>(opened, names::kSenderName)->setText("Ann");
        results->setPlainText("other");
        button->setEnabled(true);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(main.findChild<MailWindow*>(names::kWindow), opened);
        QCOMPARE(opened->EncryptedText(), QString("other"));
        QCOMPARE(testing::Child<QLineEdit>(opened, names::kSenderName)->text(), QString("Ann"));
    }
};

QTEST_MAIN(MailWindowTest)
#include "mail_window_test.moc"
