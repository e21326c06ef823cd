#pragma once
// DecryptFilesPage (FramFileDecrypt of form FCrypt): the container to decrypt and the output
// directory, and decrypting the container (Command5) in whichever format it was written.
#include <QObject>
#include <string>

#include "gui/main/work_panels.h"

namespace sealwise::gui {

class MainWindow;
class PassphraseController;

class DecryptFilesPage : public QObject {
    Q_OBJECT

  public:
    DecryptFilesPage(MainWindow& window, DecryptPanel panel, PassphraseController& passphrase);

    const DecryptPanel& Panel() const { return panel_; }
    // Fills in a container to decrypt and the directory to decrypt it into.
    void Prepare(const std::string& container, const std::string& outputDirectory);

  private:
    void ContainerEdited(const QString& text);
    void ValidateOutputPath();
    void BrowseContainerClicked();
    void BrowseOutputPathClicked();
    void DecryptClicked();

    MainWindow& window_;
    DecryptPanel panel_;
    PassphraseController& passphrase_;
};

}  // namespace sealwise::gui
