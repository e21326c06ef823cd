#pragma once
// PassphraseController (panel FramePwd of form FCrypt): the passphrase box and its tools, the
// quality display, and the choice between one passphrase and shared security with the key
// navigation, bound to the key entry model. The action buttons in its lower row belong to the
// pages that handle them.
#include <QObject>
#include <QRect>
#include <functional>
#include <string>
#include <vector>

#include "gui/main/passphrase_panel.h"
#include "gui/main/stored_format.h"
#include "passphrase/shared_key_entry.h"
#include "util/bytes.h"

namespace sealwise {
struct PassphraseRating;
}

namespace sealwise::gui {

class MainWindow;

// What decrypting takes: the passphrase or shared key texts for the modern format, the
// candidate keys (best first) for the classic one.
struct DecryptSecrets {
    std::vector<std::string> texts;
    std::vector<Bytes> keys;
};

class PassphraseController : public QObject {
    Q_OBJECT

  public:
    // Builds the panel inside window.
    explicit PassphraseController(MainWindow& window);

    PassphrasePanel& Panel() { return panel_; }
    SharedKeyEntry& KeyEntry() { return keyEntry_; }
    bool SharedSecurity() const { return keyEntry_.sharedSecurity(); }

    // Shows what a handler of the key entry changed.
    void ApplyKeyEntry(const KeyEntryUpdate& update);
    // Rates a passphrase and shows the verdict, stars and lamps.
    void RatePassphrase(const QString& text);
    void ShowQuality(const PassphraseRating& rating);
    // Whether the box holds nothing.
    bool Empty() const;
    // The box's text, taken out once; the box is emptied.
    std::string TakePassphrase();
    // The secrets to decrypt data of `format` with. The shared keys come first: a missing one
    // throws SealError before anything has changed. Then turnBusy runs and the passphrase is
    // taken out of its box, also when the shared keys are used, so that it never stays there.
    DecryptSecrets TakeDecryptSecrets(StoredFormat format, const std::function<void()>& turnBusy);
    // Where the hint, the box with its tools and the rating lie on the screen.
    QRect Area() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Connect();
    void PassphraseEdited(const QString& text);
    void ModeOptionToggled(bool sharedSecurity);
    void GenerateClicked();

    MainWindow& window_;
    PassphrasePanel panel_;
    SharedKeyEntry keyEntry_;
};

}  // namespace sealwise::gui
