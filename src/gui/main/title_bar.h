#pragma once
// The main window's own title bar: logo, title, language flags, welcome button and the
// minimise/close image.
#include <array>

class QLabel;
class QPushButton;
class QWidget;

namespace sealwise::gui {

class CaptionButtons;
class FlagImage;

struct TitleBar {
    QWidget* bar = nullptr;
    std::array<QLabel*, 2> logo{};  // Image1(0) shown, Image1(1) the picture's source
    QLabel* title = nullptr;        // lblTitle
    std::array<FlagImage*, 4> flags{};
    QPushButton* about = nullptr;          // cmdAbout
    CaptionButtons* controlBox = nullptr;  // IControlBx
};

TitleBar BuildTitleBar(QWidget* parent);

}  // namespace sealwise::gui
