#include "gui/main/container_dialogs.h"

#include <QFileInfo>

#include "gui/app/localizer.h"

namespace sealwise::gui {

QString ContainerDialogFilter() {
    return ResText(Msg::ContainerFilter, "Encrypted files (*.vesk)|*.vesk") + '|' +
           ResText(Msg::AllFilesFilter, "All files (*.*)|*.*");
}

QString WithContainerExtension(const QString& path) {
    if (path.isEmpty() || path.endsWith('/')) return path;
    // A dot that starts the name (".hidden") is no extension.
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0 && dot + 1 < name.size()) return path;
    // "backup." asks for no extension of its own: it becomes "backup.vesk".
    const QString stem = dot > 0 ? path.chopped(1) : path;
    return stem + kContainerExtension;
}

}  // namespace sealwise::gui
