// FCrypt: the passphrase quality display and the input list entries of the command line.
#include <QLineEdit>
#include <QListWidget>

#include "gui/main/fcrypt.h"

namespace sealwise::gui {

void FCrypt::PwdBewert(const QString& Strpwd) {
    Q_UNUSED(Strpwd);
}

void FCrypt::AddPathFromCommandLine(const QString& path) {
    files_.inputList->addItem(path);
}

}  // namespace sealwise::gui
