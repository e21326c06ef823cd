#pragma once
// What the open and save dialogs for containers offer and return.
#include <QString>

namespace sealwise::gui {

inline constexpr char kContainerExtension[] = ".vesk";

// "Encrypted files (*.vesk)" and "All files", so that a container saved under another name
// can still be picked.
QString ContainerDialogFilter();

// A name chosen in the save dialog, with ".vesk" appended when it has no extension.
QString WithContainerExtension(const QString& path);

}  // namespace sealwise::gui
