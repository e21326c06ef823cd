#include "gui/app/message_box.h"

#include <QAbstractButton>

#include "gui/app/localizer.h"

namespace sealwise::gui {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void Caption(QMessageBox& box, QMessageBox::StandardButton which, Msg id, const char* english) {
    if (QAbstractButton* button = box.button(which)) button->setText(ResText(id, english));
}

}  // namespace

void ConfigureMessageBox(QMessageBox& box, const QString& text, MessageButtons buttons,
                         MessageIcon icon, const QString& title) {
    box.setObjectName(kMessageBoxName);
    box.setText(text);
    box.setWindowTitle(title);
    box.setIcon(QtIcon(icon));
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    Caption(box, QMessageBox::Ok, Msg::Ok, "OK");
    Caption(box, QMessageBox::Cancel, Msg::Cancel, "Cancel");
    Caption(box, QMessageBox::Yes, Msg::Yes, "Yes");
    Caption(box, QMessageBox::No, Msg::No, "No");
}

MessageAnswer AnswerOf(const QMessageBox& box, MessageButtons buttons) {
    const QAbstractButton* clicked = box.clickedButton();
    const auto pressed = [&](QMessageBox::StandardButton which) {
        return clicked != nullptr && clicked == box.button(which);
    };
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::OkCancel:
            return pressed(QMessageBox::Ok) ? MessageAnswer::Ok : MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return pressed(QMessageBox::Yes) ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

}  // namespace sealwise::gui
