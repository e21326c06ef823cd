#pragma once
// TextPage (Frame(0) of form FCrypt): the text box, encrypted into armour and back by the
// buttons Command1 and Command2, and the mail button cmdMail that only an untouched encryption
// result enables.
#include <QObject>

#include "gui/main/work_panels.h"

namespace sealwise::gui {

class MainWindow;
class PassphraseController;

class TextPage : public QObject {
    Q_OBJECT

  public:
    // Builds the panel inside tabs; the buttons are the passphrase panel's.
    TextPage(MainWindow& window, QWidget* tabs, PassphraseController& passphrase);

    const TextPanel& Panel() const { return panel_; }

  private:
    void EncryptClicked();
    void DecryptClicked();
    void SetResultsText(const QString& text, bool mailable);

    MainWindow& window_;
    PassphraseController& passphrase_;
    TextPanel panel_;
    bool settingResults_ = false;  // txtResults is being replaced, not typed into
};

}  // namespace sealwise::gui
