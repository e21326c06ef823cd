#pragma once
// The object names of the e-mail window and its controls, as the window's layout has always
// called them; the window sets them and the tests find the controls by them.
namespace sealwise::gui::mail_window_names {

inline constexpr char kWindow[] = "frmEmail";
inline constexpr char kEncryptedText[] = "TxtCrypt";
inline constexpr char kSenderNameLabel[] = "lblsenderName";
inline constexpr char kSenderName[] = "TxtSender";
inline constexpr char kSenderAddressLabel[] = "Label1";
inline constexpr char kSenderAddress[] = "TxtAdrSender";
inline constexpr char kRecipientLabel[] = "Label3";
inline constexpr char kRecipient[] = "txtReceipAdr";
inline constexpr char kMessageLabel[] = "LblMsg";
inline constexpr char kMessage[] = "TextMsg";
inline constexpr char kWarning[] = "lblWarn";
inline constexpr char kStatus[] = "lblStatus";
inline constexpr char kSend[] = "cmdSend";
inline constexpr char kClose[] = "cmdCancel";

}  // namespace sealwise::gui::mail_window_names
