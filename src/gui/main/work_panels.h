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

struct FilePanel {
    QWidget* frame = nullptr;                  // Frame(1)
    LightTab* tabs = nullptr;                  // TabFileCrypt
    QWidget* encryptPage = nullptr;            // FramFileEnrypt
    QWidget* decryptPage = nullptr;            // FramFileDecrypt
    QRadioButton* filesMode = nullptr;         // OptFiles
    QRadioButton* directoryMode = nullptr;     // OptDirs
    QListWidget* inputList = nullptr;          // LstCryptFiles
    QPushButton* add = nullptr;                // CmdAdCryptdfile
    QPushButton* remove = nullptr;             // CmdDelCryptFiles
    QLineEdit* containerName = nullptr;        // TxtEncrFileName
    QPushButton* browseContainer = nullptr;    // CmdBrowseCryptOut
    QCheckBox* modernFormat = nullptr;         // ChkModernFiles: write a modern container
    QLineEdit* decryptFile = nullptr;          // TxtDecrFile
    QPushButton* browseDecryptFile = nullptr;  // Command7
    QLineEdit* outputPath = nullptr;           // TxtDecrOutPath
    QPushButton* browseOutputPath = nullptr;   // CmdBrowseOutPath
};

TextPanel BuildTextPanel(QWidget* parent);
FilePanel BuildFilePanel(QWidget* parent);

}  // namespace sealwise::gui
