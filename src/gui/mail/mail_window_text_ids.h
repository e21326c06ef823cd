#pragma once
// Base ids of the texts of the e-mail window.
namespace sealwise::gui::ids {

inline constexpr int kMailWindowTitle = 394;
inline constexpr int kYourName = 395;
inline constexpr int kYourAddress = 396;
inline constexpr int kRecipientAddress = 397;
inline constexpr int kOptionalMessage = 398;
inline constexpr int kNoPassphraseWarning = 399;
inline constexpr int kSend = 400;
inline constexpr int kSendingMessage = 546;
inline constexpr int kEncryptedTextName = 547;
inline constexpr int kOfferMailProgram = 637;
inline constexpr int kMailtoSubject = 638;
inline constexpr int kMailtoPasteNote = 639;
inline constexpr int kArmourOnClipboard = 640;
inline constexpr int kNoMailService = 642;

}  // namespace sealwise::gui::ids
