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

#include "app/msg.h"
#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/main/main_window_names.h"
#include "gui/main/stored_format.h"
#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace {

QPushButton* MakeBrowseButton(QWidget* parent, const QString& name) {
    auto* button = MakeButton(parent, name, "...");
    button->setFixedWidth(32);
    SetAccessibleReference(button, Msg::Browse);
    SetToolTipReference(button, Msg::Browse);
    return button;
}

// The choice of the modern format for what a panel encrypts; unchecked at start, it keeps
// its state while the program runs.
QCheckBox* MakeModernFormatOption(QWidget* parent, const QString& name) {
    auto* option = Named(new QCheckBox(Ref(Msg::ModernFormatOption), parent), name);
    SetToolTipReference(option, Msg::ModernFormatTip);
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

QWidget* BuildEncryptPage(QWidget* parent, EncryptPanel& panel) {
    auto* page = panel.page = Named(new QWidget(parent), main_names::kEncryptPage);
    auto* info = MakeLabel(page, main_names::kEncryptInfo, Ref(Msg::SelectFilesInfo), true);

    panel.filesMode = Named(new QRadioButton(Ref(Msg::FilesMode), page), main_names::kFilesMode);
    panel.directoryMode =
        Named(new QRadioButton(Ref(Msg::DirectoryMode), page), main_names::kDirectoryMode);
    panel.filesMode->setChecked(true);
    auto* modes = new QButtonGroup(page);
    modes->addButton(panel.filesMode);
    modes->addButton(panel.directoryMode);

    panel.inputList = Named(new QListWidget(page), main_names::kInputList);
    panel.inputList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    panel.inputList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetAccessibleReference(panel.inputList, Msg::InputFiles);
    panel.add = MakeButton(page, main_names::kAdd, Ref(Msg::Add));
    panel.remove = MakeButton(page, main_names::kRemove, Ref(Msg::Remove));

    panel.containerName = Named(new QLineEdit(page), main_names::kContainerName);
    SetAccessibleReference(panel.containerName, Msg::OutputFile);
    panel.browseContainer = MakeBrowseButton(page, main_names::kBrowseContainer);
    panel.modernFormat = MakeModernFormatOption(page, main_names::kModernFiles);

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
    column->addWidget(MakeLabel(page, main_names::kInputFilesLabel, Ref(Msg::InputFiles)));
    column->addLayout(listRow, 1);
    column->addWidget(MakeLabel(page, main_names::kOutputFileLabel, Ref(Msg::OutputFile)));
    column->addLayout(PathRow(panel.containerName, panel.browseContainer));
    column->addWidget(panel.modernFormat);
    return page;
}

QWidget* BuildDecryptPage(QWidget* parent, DecryptPanel& panel) {
    auto* page = panel.page = Named(new QWidget(parent), main_names::kDecryptPage);
    auto* heading = MakeLabel(page, main_names::kDecryptHeading, Ref(Msg::DecryptFileLabel));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    panel.decryptFile = Named(new QLineEdit(page), main_names::kDecryptFile);
    SetAccessibleReference(panel.decryptFile, Msg::EncryptedFile);
    panel.browseDecryptFile = MakeBrowseButton(page, main_names::kBrowseDecryptFile);
    panel.outputPath = Named(new QLineEdit(page), main_names::kOutputPath);
    SetAccessibleReference(panel.outputPath, Msg::OutputDirectory);
    panel.browseOutputPath = MakeBrowseButton(page, main_names::kBrowseOutputPath);

    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(heading);
    column->addSpacing(6);
    column->addWidget(MakeLabel(page, main_names::kDecryptFileLabel, Ref(Msg::EncryptedFile)));
    column->addLayout(PathRow(panel.decryptFile, panel.browseDecryptFile));
    column->addSpacing(6);
    column->addWidget(MakeLabel(page, main_names::kOutputPathLabel, Ref(Msg::OutputDirectory)));
    column->addLayout(PathRow(panel.outputPath, panel.browseOutputPath));
    column->addStretch(1);
    return page;
}

}  // namespace

TextPanel BuildTextPanel(QWidget* parent) {
    TextPanel panel;
    panel.frame = Named(new QWidget(parent), main_names::kTextFrame);
    panel.label = MakeLabel(panel.frame, main_names::kTextLabel, Ref(Msg::TextToEncrypt));
    panel.text = Named(new QPlainTextEdit(panel.frame), main_names::kTextBox);
    panel.text->setTabChangesFocus(true);
    SetAccessibleReference(panel.text, Msg::TextToEncrypt);
    panel.modernFormat = MakeModernFormatOption(panel.frame, main_names::kModernText);
    auto* column = new QVBoxLayout(panel.frame);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(panel.label);
    column->addWidget(panel.text, 1);
    column->addWidget(panel.modernFormat);
    return panel;
}

FilePanel BuildFilePanel(QWidget* parent) {
    FilePanel panel;
    panel.frame = Named(new QWidget(parent), main_names::kFilesFrame);
    panel.tabs = Named(new LightTab(panel.frame), main_names::kFileTabs);
    panel.tabs->setNumberOfTabs(2);
    panel.tabs->setCaption("Encrypt|Decrypt|");
    BuildEncryptPage(panel.tabs, panel.encrypt);
    BuildDecryptPage(panel.tabs, panel.decrypt);

    auto* pages = new QGridLayout(panel.tabs);
    pages->addWidget(panel.encrypt.page, 0, 0);
    pages->addWidget(panel.decrypt.page, 0, 0);
    auto* column = new QVBoxLayout(panel.frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(panel.tabs);
    return panel;
}

}  // namespace sealwise::gui
