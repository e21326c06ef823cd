#include "gui/main/work_panels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/app/localizer.h"
#include "gui/app/string_ids.h"
#include "gui/controls/light_tab.h"
#include "gui/main/stored_format.h"
#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace {

QPushButton* MakeBrowseButton(QWidget* parent, const QString& name) {
    auto* button = MakeButton(parent, name, "...");
    button->setFixedWidth(32);
    SetAccessibleReference(button, ids::kBrowse);
    SetToolTipReference(button, ids::kBrowse);
    return button;
}

// The choice of the modern format for what a panel encrypts; unchecked at start, it keeps
// its state while the program runs.
QCheckBox* MakeModernFormatOption(QWidget* parent, const QString& name) {
    auto* option = Named(new QCheckBox(Ref(ids::kModernFormatOption), parent), name);
    SetToolTipReference(option, ids::kModernFormatTip);
    return option;
}

// A path field with its "..." button beside it.
QHBoxLayout* PathRow(QLineEdit* field, QPushButton* browse) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(field, 1);
    row->addWidget(browse);
    return row;
}

QWidget* BuildEncryptPage(QWidget* parent, FilePanel& panel) {
    auto* page = Named(new QWidget(parent), "FramFileEnrypt");
    auto* info = MakeLabel(page, "Label4", Ref(ids::kSelectFilesInfo), true);

    panel.filesMode = Named(new QRadioButton(Ref(ids::kFilesMode), page), "OptFiles");
    panel.directoryMode = Named(new QRadioButton(Ref(ids::kDirectoryMode), page), "OptDirs");
    panel.filesMode->setChecked(true);
    auto* modes = new QButtonGroup(page);
    modes->addButton(panel.filesMode);
    modes->addButton(panel.directoryMode);

    panel.inputList = Named(new QListWidget(page), "LstCryptFiles");
    panel.inputList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    panel.inputList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetAccessibleReference(panel.inputList, ids::kInputFiles);
    panel.add = MakeButton(page, "CmdAdCryptdfile", Ref(ids::kAdd));
    panel.remove = MakeButton(page, "CmdDelCryptFiles", Ref(ids::kRemove));

    panel.containerName = Named(new QLineEdit(page), "TxtEncrFileName");
    SetAccessibleReference(panel.containerName, ids::kOutputFile);
    panel.browseContainer = MakeBrowseButton(page, "CmdBrowseCryptOut");
    panel.modernFormat = MakeModernFormatOption(page, "ChkModernFiles");

    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(panel.filesMode);
    modeRow->addWidget(panel.directoryMode);
    modeRow->addStretch(1);

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(panel.add);
    listButtons->addWidget(panel.remove);
    listButtons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(panel.inputList, 1);
    listRow->addLayout(listButtons);

    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(info);
    column->addLayout(modeRow);
    column->addWidget(MakeLabel(page, "Label5_0", Ref(ids::kInputFiles)));
    column->addLayout(listRow, 1);
    column->addWidget(MakeLabel(page, "Label5_1", Ref(ids::kOutputFile)));
    column->addLayout(PathRow(panel.containerName, panel.browseContainer));
    column->addWidget(panel.modernFormat);
    return page;
}

QWidget* BuildDecryptPage(QWidget* parent, FilePanel& panel) {
    auto* page = Named(new QWidget(parent), "FramFileDecrypt");
    auto* heading = MakeLabel(page, "Label6", Ref(ids::kDecryptFileLabel));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    panel.decryptFile = Named(new QLineEdit(page), "TxtDecrFile");
    SetAccessibleReference(panel.decryptFile, ids::kEncryptedFile);
    panel.browseDecryptFile = MakeBrowseButton(page, "Command7");
    panel.outputPath = Named(new QLineEdit(page), "TxtDecrOutPath");
    SetAccessibleReference(panel.outputPath, ids::kOutputDirectory);
    panel.browseOutputPath = MakeBrowseButton(page, "CmdBrowseOutPath");

    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(heading);
    column->addSpacing(6);
    column->addWidget(MakeLabel(page, "Label5_3", Ref(ids::kEncryptedFile)));
    column->addLayout(PathRow(panel.decryptFile, panel.browseDecryptFile));
    column->addSpacing(6);
    column->addWidget(MakeLabel(page, "Label5_2", Ref(ids::kOutputDirectory)));
    column->addLayout(PathRow(panel.outputPath, panel.browseOutputPath));
    column->addStretch(1);
    return page;
}

}  // namespace

TextPanel BuildTextPanel(QWidget* parent) {
    TextPanel panel;
    panel.frame = Named(new QWidget(parent), "Frame_0");
    panel.label = MakeLabel(panel.frame, "Label2", Ref(ids::kTextToEncrypt));
    panel.text = Named(new QPlainTextEdit(panel.frame), "txtResults");
    panel.text->setTabChangesFocus(true);
    SetAccessibleReference(panel.text, ids::kTextToEncrypt);
    panel.modernFormat = MakeModernFormatOption(panel.frame, "ChkModernText");
    auto* column = new QVBoxLayout(panel.frame);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(panel.label);
    column->addWidget(panel.text, 1);
    column->addWidget(panel.modernFormat);
    return panel;
}

FilePanel BuildFilePanel(QWidget* parent) {
    FilePanel panel;
    panel.frame = Named(new QWidget(parent), "Frame_1");
    panel.tabs = Named(new LightTab(panel.frame), "TabFileCrypt");
    panel.tabs->setNumberOfTabs(2);
    panel.tabs->setCaption("Encrypt|Decrypt|");
    panel.encryptPage = BuildEncryptPage(panel.tabs, panel);
    panel.decryptPage = BuildDecryptPage(panel.tabs, panel);

    auto* pages = new QGridLayout(panel.tabs);
    pages->addWidget(panel.encryptPage, 0, 0);
    pages->addWidget(panel.decryptPage, 0, 0);
    auto* column = new QVBoxLayout(panel.frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(panel.tabs);
    return panel;
}

}  // namespace sealwise::gui
