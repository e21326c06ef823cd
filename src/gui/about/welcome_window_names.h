#pragma once
// The object names of the welcome window and its controls, as the window's layout has always
// called them; the window sets them and the tests find the controls by them. The language
// flags take theirs from kLanguageFlags.
namespace sealwise::gui::welcome_window_names {

inline constexpr char kWindow[] = "FrmAbout";
inline constexpr char kLogo[] = "ImgLogo";
inline constexpr char kHeadline[] = "Label1";
inline constexpr char kDescription[] = "lblWelcome";
inline constexpr char kRule[] = "Line1";
inline constexpr char kProductPicture[] = "ImgProd";  // array: one picture per panel, 0 to 2
inline constexpr char kHeading[] = "Label5";
inline constexpr char kNameLink[] = "Label2_1";  // element 1 of the link array Label2
inline constexpr char kSiteLink[] = "Label2_5";  // element 5
inline constexpr char kPromoText1[] = "LblMText";
inline constexpr char kPromoText2[] = "lblMtext2";
inline constexpr char kStart[] = "Command1";

}  // namespace sealwise::gui::welcome_window_names
