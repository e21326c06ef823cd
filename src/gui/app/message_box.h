#pragma once
// The program's message box: icon, text and title as asked, and button captions from the
// string table, so that a German question about „Nein“ offers a button „Nein“.
#include <QMessageBox>

#include "gui/app/desktop_services.h"

namespace sealwise::gui {

// Sets up `box` with the text, title, icon and buttons in the current language.
void ConfigureMessageBox(QMessageBox& box, const QString& text, MessageButtons buttons,
                         MessageIcon icon, const QString& title);

// The answer a closed box gives: the button pressed, Escape or the window's close button
// counting as Cancel for OK/Cancel and as No for Yes/No.
MessageAnswer AnswerOf(const QMessageBox& box, MessageButtons buttons);

// The object name of every box ConfigureMessageBox sets up.
inline constexpr char kMessageBoxName[] = "MessageBox";

}  // namespace sealwise::gui
