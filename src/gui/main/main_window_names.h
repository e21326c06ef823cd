#pragma once
// The object names of the main window's controls, in one table: the names the original form
// gave them, which tests, accessibility tools and the screenshot tour find them by.
// docs/control-names.md maps each to the class and member that own the control.
namespace sealwise::gui::main_names {

inline constexpr char kWindow[] = "FCrypt";               // the main window
inline constexpr char kBackground[] = "ucShape1";         // rounded background panel
inline constexpr char kTitleBar[] = "TitleBar";           // title bar
inline constexpr char kLogo[] = "Image1_%1";              // logo shown / picture source
inline constexpr char kTitle[] = "lblTitle";              // window title
inline constexpr char kAbout[] = "cmdAbout";              // welcome button
inline constexpr char kControlBox[] = "IControlBx";       // minimise and close
inline constexpr char kMainTabs[] = "TabStr";             // files / text tab strip
inline constexpr char kTextFrame[] = "Frame_0";           // text panel
inline constexpr char kTextLabel[] = "Label2";            // label of the text box
inline constexpr char kTextBox[] = "txtResults";          // text to encrypt or decrypt
inline constexpr char kModernText[] = "ChkModernText";    // modern-format option of the text panel
inline constexpr char kFilesFrame[] = "Frame_1";          // file panel
inline constexpr char kFileTabs[] = "TabFileCrypt";       // encrypt / decrypt tab strip
inline constexpr char kEncryptPage[] = "FramFileEnrypt";  // encrypt page
inline constexpr char kEncryptInfo[] = "Label4";          // encrypt page hint
inline constexpr char kFilesMode[] = "OptFiles";          // add single files
inline constexpr char kDirectoryMode[] = "OptDirs";       // add a directory tree
inline constexpr char kInputFilesLabel[] = "Label5_0";    // label of the input list
inline constexpr char kInputList[] = "LstCryptFiles";     // files to encrypt
inline constexpr char kAdd[] = "CmdAdCryptdfile";         // Add button
inline constexpr char kRemove[] = "CmdDelCryptFiles";     // Remove button
inline constexpr char kOutputFileLabel[] = "Label5_1";    // label of the container name
inline constexpr char kContainerName[] = "TxtEncrFileName";      // container to write
inline constexpr char kBrowseContainer[] = "CmdBrowseCryptOut";  // save dialog
inline constexpr char kModernFiles[] =
    "ChkModernFiles";  // modern-format option of the encrypt page
inline constexpr char kDecryptPage[] = "FramFileDecrypt";        // decrypt page
inline constexpr char kDecryptHeading[] = "Label6";              // decrypt page heading
inline constexpr char kDecryptFileLabel[] = "Label5_3";          // label of the container field
inline constexpr char kDecryptFile[] = "TxtDecrFile";            // container to decrypt
inline constexpr char kBrowseDecryptFile[] = "Command7";         // open dialog
inline constexpr char kOutputPathLabel[] = "Label5_2";           // label of the output directory
inline constexpr char kOutputPath[] = "TxtDecrOutPath";          // output directory
inline constexpr char kBrowseOutputPath[] = "CmdBrowseOutPath";  // folder dialog
inline constexpr char kPassphraseFrame[] = "FramePwd";           // passphrase panel
inline constexpr char kPassphraseHint[] = "LabCodeb";            // passphrase hint
inline constexpr char kPassphrase[] = "TxtCode";                 // passphrase box
inline constexpr char kHidePassphrase[] = "ChkHPwd";             // hide the passphrase
inline constexpr char kGenerate[] = "cmdPassgen";                // random passphrase
inline constexpr char kKeyboard[] = "Command3";                  // on-screen keyboard
inline constexpr char kQuality[] = "QualityDisplay";             // verdict and stars
inline constexpr char kQualityCaption[] = "Label1";              // quality caption
inline constexpr char kVerdict[] = "Label3";                     // quality verdict
inline constexpr char kStarRow[] = "StarRow";      // stars Stern(1..5) over SchlusselPlatz(1..5)
inline constexpr char kLampPanel[] = "PictAmpel";  // quality light
inline constexpr char kLampHousing[] = "Shape1";   // housing of the light
inline constexpr char kLamp[] = "AmpelL_%1";       // red, yellow, green lamp
inline constexpr char kModeRow[] = "ModeRow";      // mode row
inline constexpr char kOnePassphrase[] = "optMults_0";         // one passphrase
inline constexpr char kSharedSecurity[] = "optMults_1";        // shared security
inline constexpr char kKeyCountPanel[] = "pctSharedSecurity";  // key count panel
inline constexpr char kKeyCountLabel[] = "lblsharedkey";       // label of the key count
inline constexpr char kKeyCount[] = "txtKeyNum";               // key count
inline constexpr char kPreviousKey[] = "lblNextKey_1";         // previous key "<"
inline constexpr char kKeyScroll[] = "KeyScroll";              // key shown
inline constexpr char kNextKey[] = "lblNextKey_0";             // next key ">"
inline constexpr char kKeyOf[] = "lblKeyOf";                   // "2/3"
inline constexpr char kOnlineLink[] = "LblLink";               // online version link
inline constexpr char kLowerRows[] = "LowerRows";              // mode and action rows
inline constexpr char kActionRow[] = "ActionRow";              // action buttons
inline constexpr char kEncryptText[] = "Command1";             // encrypt text
inline constexpr char kDecryptText[] = "Command2";             // decrypt text
inline constexpr char kMail[] = "cmdMail";                     // send via e-mail
inline constexpr char kEncryptFiles[] = "Command4";            // encrypt files
inline constexpr char kDecryptFiles[] = "Command5";            // decrypt files
inline constexpr char kResultNote[] = "lblResult";             // note after a job worked

}  // namespace sealwise::gui::main_names
