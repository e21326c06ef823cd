#include "gui/mail/mail_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/msg.h"
#include "app/strings.h"
#include "gui/app/desktop_services.h"
#include "gui/app/localizer.h"
#include "gui/app/window_placement.h"
#include "gui/mail/mail_send_task.h"
#include "gui/mail/mail_service_choice.h"
#include "gui/mail/mail_window_names.h"
#include "gui/widgets/widget_factory.h"
#include "mail/mailto_link.h"
#include "text/line_breaks.h"
#include "util/errors.h"

namespace sealwise::gui {

namespace names = mail_window_names;

namespace {

constexpr int kWindowWidth = 600;  // room for a 76-character armour line in TxtCrypt

QPlainTextEdit* MakeTextArea(QWidget* parent, const QString& name, int height) {
    auto* area = Named(new QPlainTextEdit(parent), name);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->setTabChangesFocus(true);  // Tab walks the form instead of typing a tab
    area->setFixedHeight(height);
    return area;
}

QLineEdit* MakeField(QWidget* parent, const QString& name, QLabel* label, Msg nameId) {
    auto* field = Named(new QLineEdit(parent), name);
    label->setBuddy(field);
    SetAccessibleReference(field, nameId);
    return field;
}

// Text of a box as the form sends it: UTF-8 with CR LF line breaks.
std::string FormText(const QString& text) { return LfToCrLf(text.toStdString()); }

}  // namespace

MailWindow::MailWindow(DesktopServices& services, QWidget* owner)
    : QWidget(owner, Qt::Window), services_(services) {
    setObjectName(names::kWindow);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Ref(Msg::SendViaEmail));
    setFixedWidth(kWindowWidth);
    Build();
    LocalizeForm(this);
    // Every row has its natural height; a taller window would only spread them apart.
    setFixedHeight(layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(kWindowWidth)
                                                 : layout()->totalSizeHint().height());
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

MailWindow::~MailWindow() {
    if (cancel_) cancel_->store(true);
}

void MailWindow::Build() {
    encryptedBox_ = MakeTextArea(this, names::kEncryptedText, 170);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setFamilies({"Courier New", mono.family()});
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPixelSize(12);
    encryptedBox_->setFont(mono);
    SetAccessibleReference(encryptedBox_, Msg::EncryptedTextName);

    auto* nameLabel = MakeLabel(this, names::kSenderNameLabel, Ref(Msg::YourName));
    senderName_ = MakeField(this, names::kSenderName, nameLabel, Msg::YourName);
    auto* senderLabel = MakeLabel(this, names::kSenderAddressLabel, Ref(Msg::YourAddress));
    senderAddress_ = MakeField(this, names::kSenderAddress, senderLabel, Msg::YourAddress);
    auto* recipientLabel = MakeLabel(this, names::kRecipientLabel, Ref(Msg::RecipientAddress));
    recipient_ = MakeField(this, names::kRecipient, recipientLabel, Msg::RecipientAddress);
    auto* messageLabel = MakeLabel(this, names::kMessageLabel, Ref(Msg::OptionalMessage));
    message_ = MakeTextArea(this, names::kMessage, 90);
    messageLabel->setBuddy(message_);
    SetAccessibleReference(message_, Msg::OptionalMessage);

    auto* warning = MakeLabel(this, names::kWarning, Ref(Msg::NoPassphraseWarning));
    QFont bold = warning->font();
    bold.setBold(true);
    warning->setFont(bold);
    status_ = MakeLabel(this, names::kStatus, Ref(Msg::SendingMessage));
    status_->hide();
    send_ = MakeButton(this, names::kSend, Ref(Msg::Send));
    close_ = MakeButton(this, names::kClose, Ref(Msg::Cancel));
    for (auto* button : {send_, close_}) button->setMinimumWidth(90);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(senderName_, 0, 1);
    fields->addWidget(senderLabel, 1, 0);
    fields->addWidget(senderAddress_, 1, 1);
    fields->addWidget(recipientLabel, 2, 0);
    fields->addWidget(recipient_, 2, 1);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_);
    buttons->addStretch(1);
    buttons->addWidget(send_);
    buttons->addWidget(close_);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(6);
    column->addWidget(encryptedBox_);
    column->addSpacing(4);
    column->addLayout(fields);
    column->addSpacing(4);
    column->addWidget(messageLabel);
    column->addWidget(message_);
    column->addWidget(warning);
    column->addSpacing(4);
    column->addLayout(buttons);

    // The order the Tab key follows: the fields the user fills in first.
    QWidget* order[] = {senderName_,   senderAddress_, recipient_, message_,
                        encryptedBox_, send_,          close_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    senderName_->setFocus();

    connect(send_, &QPushButton::clicked, this, &MailWindow::SendClicked);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
}

void MailWindow::SetEncryptedText(const QString& text) {
    encryptedText_ = text;
    encryptedBox_->setPlainText(text);
}

MailForm MailWindow::Form() const {
    return {senderName_->text().toStdString(), senderAddress_->text().toStdString(),
            recipient_->text().toStdString(), FormText(message_->toPlainText()),
            FormText(encryptedText_)};
}

void MailWindow::Tell(const QString& text) {
    services_.ShowMessage(this, text, MessageButtons::Ok, MessageIcon::None, kProductName);
}

void MailWindow::SendClicked() {
    if (sending_) return;
    MailForm form = Form();
    std::optional<MailServiceUrl> url;
    try {
        ValidateMailForm(form);  // 404 or 560 before anything leaves the machine
        url = ChosenMailServiceUrl();
    } catch (const SealError& error) {
        Tell(QString::fromStdString(MessageText(error)));
        return;
    }
    if (!url) {
        OfferMailProgram(GetResText(Msg::NoMailService) + " " + GetResText(Msg::OfferMailProgram));
        return;
    }
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    SetSending(true);
    StartMailSend(std::move(form), std::move(*url), cancel_, this,
                  [this](const MailSendOutcome& outcome) { SendEnded(outcome); });
}

void MailWindow::SendEnded(const MailSendOutcome& outcome) {
    SetSending(false);
    if (outcome.errorId) {
        Tell(QString::fromStdString(
            MessageText(SealError(*outcome.errorId, outcome.errorArgument))));
        Q_EMIT SendFinished();
        return;
    }
    const MailOutcome& answer = outcome.result.outcome;
    if (answer.kind == MailOutcomeKind::kCancelled) return;
    if (answer.kind == MailOutcomeKind::kNoConnection) {
        OfferMailProgram(MailOutcomeMessage(answer) + "\n\n" + GetResText(Msg::OfferMailProgram));
        Q_EMIT SendFinished();
        return;
    }
    Tell(QString::fromStdString(MailOutcomeMessage(answer)));
    Q_EMIT SendFinished();
    if (answer.kind == MailOutcomeKind::kSent) close();
}

void MailWindow::OfferMailProgram(const std::string& question) {
    const MessageAnswer answer =
        services_.ShowMessage(this, QString::fromStdString(question), MessageButtons::YesNo,
                              MessageIcon::Question, kProductName);
    if (answer != MessageAnswer::Yes) return;
    const MailtoHandOff handOff =
        HandOffLink(Form(), GetResText(Msg::MailtoSubject), GetResText(Msg::MailtoPasteNote));
    if (!handOff.armourInLink) {
        // Too long for a link that every mail program takes: the user pastes it instead.
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(encryptedText_);
        Tell(QString::fromStdString(GetResText(Msg::ArmourOnClipboard)));
    }
    services_.OpenUrl(QUrl::fromEncoded(QByteArray::fromStdString(handOff.link), QUrl::StrictMode));
    close();
}

void MailWindow::SetSending(bool sending) {
    sending_ = sending;
    send_->setEnabled(!sending);
    status_->setVisible(sending);
}

void MailWindow::closeEvent(QCloseEvent* event) {
    if (cancel_) cancel_->store(true);
    setObjectName(QString());  // deleted soon: the opener makes a new window from now on
    QWidget::closeEvent(event);
}

MailWindow* MailWindow::ShowFor(QWidget* owner, DesktopServices& services, const QString& text) {
    auto* window = owner->findChild<MailWindow*>(names::kWindow, Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new MailWindow(services, owner);
        CentreOnScreenOf(window, owner);
    }
    window->SetEncryptedText(text);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace sealwise::gui
