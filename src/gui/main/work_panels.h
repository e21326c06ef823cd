#pragma once
// The work panels inside the main tab strip: the text panel Frame(0) and the file panel
// Frame(1) with its encrypt and decrypt pages.
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace sealwise::gui {

class LightTab;

struct TextPanel {
    QWidget* frame = nullptr;           // Frame(0)
    QLabel* label = nullptr;            // Label2
    QPlainTextEdit* text = nullptr;     // txtResults
    QCheckBox* modernFormat = nullptr;  // ChkModernText: encrypt into the modern format
};

// The encrypt page FramFileEnrypt.
struct EncryptPanel {
    QWidget* page = nullptr;                 // FramFileEnrypt
    QRadioButton* filesMode = nullptr;       // OptFiles
    QRadioButton* directoryMode = nullptr;   // OptDirs
    QListWidget* inputList = nullptr;        // LstCryptFiles
    QPushButton* add = nullptr;              // CmdAdCryptdfile
    QPushButton* remove = nullptr;           // CmdDelCryptFiles
    QLineEdit* containerName = nullptr;      // TxtEncrFileName
    QPushButton* browseContainer = nullptr;  // CmdBrowseCryptOut
    QCheckBox* modernFormat = nullptr;       // ChkModernFiles: write a modern container
};

// The decrypt page FramFileDecrypt.
struct DecryptPanel {
    QWidget* page = nullptr;                   // FramFileDecrypt
    QLineEdit* decryptFile = nullptr;          // TxtDecrFile
    QPushButton* browseDecryptFile = nullptr;  // Command7
    QLineEdit* outputPath = nullptr;           // TxtDecrOutPath
    QPushButton* browseOutputPath = nullptr;   // CmdBrowseOutPath
};

struct FilePanel {
    QWidget* frame = nullptr;  // Frame(1)
    LightTab* tabs = nullptr;  // TabFileCrypt
    EncryptPanel encrypt;
    DecryptPanel decrypt;
};

TextPanel BuildTextPanel(QWidget* parent);
FilePanel BuildFilePanel(QWidget* parent);

}  // namespace sealwise::gui
