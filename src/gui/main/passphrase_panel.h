#pragma once
// The passphrase panel FramePwd: the passphrase box with its tools, the quality display, the
// choice between one passphrase and shared security with the key navigation, and the action
// buttons of both tabs.
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;
class QWidget;

namespace sealwise::gui {

class LampImage;
class PaintedImage;
class StarRating;

struct PassphrasePanel {
    QWidget* frame = nullptr;                 // FramePwd
    QLineEdit* passphrase = nullptr;          // TxtCode
    QCheckBox* hide = nullptr;                // ChkHPwd
    QPushButton* generate = nullptr;          // cmdPassgen
    QPushButton* keyboard = nullptr;          // Command3
    QWidget* quality = nullptr;               // verdict and stars
    QLabel* verdict = nullptr;                // Label3
    StarRating* rating = nullptr;             // Stern(1..5) over SchlusselPlatz(1..5)
    QWidget* lampPanel = nullptr;             // PictAmpel
    std::array<LampImage*, 3> lamps{};        // AmpelL(0..2): red, yellow, green
    std::array<QRadioButton*, 2> modes{};     // optMults(0), optMults(1)
    QWidget* keyCountPanel = nullptr;         // pctSharedSecurity
    QLineEdit* keyCount = nullptr;            // txtKeyNum
    QScrollBar* keyScroll = nullptr;          // KeyScroll
    std::array<QToolButton*, 2> keyArrows{};  // lblNextKey(0) ">", lblNextKey(1) "<"
    QLabel* keyOf = nullptr;                  // lblKeyOf
    QWidget* lowerRows = nullptr;             // mode row and action row
    QPushButton* encryptText = nullptr;       // Command1
    QPushButton* decryptText = nullptr;       // Command2
    QPushButton* mail = nullptr;              // cmdMail
    QPushButton* onlineLink = nullptr;        // LblLink
    QPushButton* encryptFiles = nullptr;      // Command4
    QPushButton* decryptFiles = nullptr;      // Command5
    QLabel* resultNote = nullptr;             // lblResult: a short note after a job worked
};

PassphrasePanel BuildPassphrasePanel(QWidget* parent);

}  // namespace sealwise::gui
