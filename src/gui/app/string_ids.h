#pragma once
// Base ids of the string table that the windows use by name.
namespace sealwise::gui::ids {

// Texts of the table's original range.
inline constexpr int kFileDecrypted = 120;
inline constexpr int kPleaseWait = 143;
inline constexpr int kPassphraseHint = 149;
inline constexpr int kCancel = 150;
inline constexpr int kStart = 152;
inline constexpr int kOutputDirectory = 153;
inline constexpr int kEncryptedFile = 154;
inline constexpr int kCreateRandom = 155;
inline constexpr int kScreenKeyboard = 156;
inline constexpr int kHidePassphrase = 158;
inline constexpr int kPassphraseQuality = 159;
inline constexpr int kOnlineVersion = 160;
inline constexpr int kEncryptText = 161;
inline constexpr int kDecryptText = 162;
inline constexpr int kEncryptFiles = 163;
inline constexpr int kDecryptFiles = 164;
inline constexpr int kTextToEncrypt = 165;
inline constexpr int kTabText = 166;
inline constexpr int kTabFiles = 167;
inline constexpr int kAdd = 179;
inline constexpr int kRemove = 180;
inline constexpr int kTabEncrypt = 183;
inline constexpr int kTabDecrypt = 184;
inline constexpr int kAuthorizeCertificate = 191;
inline constexpr int kFilesMode = 192;
inline constexpr int kDirectoryMode = 193;
inline constexpr int kWelcome = 200;
inline constexpr int kDoYouKnow = 201;
inline constexpr int kPromoLabel = 202;
inline constexpr int kSinglePassphrase = 390;
inline constexpr int kSharedSecurity = 391;
inline constexpr int kKeys = 392;
inline constexpr int kSendViaEmail = 394;
inline constexpr int kSelectFilesInfo = 144;
inline constexpr int kInputFiles = 145;
inline constexpr int kOutputFile = 146;
inline constexpr int kDecryptFileLabel = 148;

// Texts added for the desktop program: accessible names, tool tips and the welcome window.
inline constexpr int kPassphraseName = 480;
inline constexpr int kCaptionButtons = 481;
inline constexpr int kLanguageGerman = 482;
inline constexpr int kLanguageEnglish = 483;
inline constexpr int kLanguageSpanish = 484;
inline constexpr int kLanguageFrench = 485;
inline constexpr int kNextKey = 486;
inline constexpr int kPreviousKey = 487;
inline constexpr int kKeyShown = 488;
inline constexpr int kMailComesLater = 489;
inline constexpr int kBrowse = 490;
inline constexpr int kProgressOfItem = 491;
inline constexpr int kProgressOfRun = 492;
inline constexpr int kElapsedTime = 493;
inline constexpr int kQualityLight = 494;
inline constexpr int kProgressLight = 495;
inline constexpr int kRedLamp = 496;
inline constexpr int kYellowLamp = 497;
inline constexpr int kGreenLamp = 498;
inline constexpr int kStar = 499;
inline constexpr int kEmptyStar = 500;
inline constexpr int kLogo = 501;
inline constexpr int kWelcomeHeadline = 502;
inline constexpr int kWelcomeDescription = 503;
inline constexpr int kCliPanelText1 = 504;
inline constexpr int kCliPanelText2 = 505;
inline constexpr int kOnlinePanelText1 = 506;
inline constexpr int kOnlinePanelText2 = 507;
inline constexpr int kGuidePanelText1 = 508;
inline constexpr int kGuidePanelText2 = 509;
inline constexpr int kProductPicture = 510;

}  // namespace sealwise::gui::ids
