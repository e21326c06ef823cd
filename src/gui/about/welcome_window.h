#pragma once
// WelcomeWindow (form FrmAbout): the window that opens first and doubles as the about box: a
// greeting, a short description, the language flags, one of three promotional panels chosen at
// random, and the Start button that leads to the main window.
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "gui/about/promo_panels.h"

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace sealwise::gui {

class DesktopServices;
class FlagImage;
class PaintedImage;

// `text` with each command ("sealwise-cli --help") joined by non-breaking hyphens and blanks,
// so that it stays on one line.
QString KeepCommandsTogether(const QString& text);

class WelcomeWindow : public QWidget {
    Q_OBJECT

  public:
    // A uniform draw in [0, 1) that picks the panel.
    using Draw = std::function<double()>;
    static double SecureDraw();

    // onStart: shows the main window (creating it when needed); the window closes afterwards.
    WelcomeWindow(DesktopServices& services, std::function<void()> onStart, Draw draw = SecureDraw,
                  QWidget* parent = nullptr);

    PromoPanel Panel() const { return panel_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Build();
    void Load(double draw);
    void Localize();
    void FillTexts();
    void ArrangePanel();
    void SwitchLanguage(int languageOffset);
    void LanguageChanged();
    void OpenLink(int element);
    void Start();

    DesktopServices& services_;
    std::function<void()> onStart_;
    PromoPanel panel_ = PromoPanel::CommandLine;

    QLabel* headline_ = nullptr;     // Label1
    QLabel* description_ = nullptr;  // lblWelcome
    std::array<FlagImage*, 4> flags_{};
    QPushButton* start_ = nullptr;             // Command1
    QLabel* heading_ = nullptr;                // Label5
    std::array<PaintedImage*, 3> pictures_{};  // ImgProd(0..2)
    QLabel* promoText1_ = nullptr;             // LblMText
    QLabel* promoText2_ = nullptr;             // lblMtext2
    QPushButton* nameLink_ = nullptr;          // Label2(1)
    QPushButton* siteLink_ = nullptr;          // Label2(5)
    QBoxLayout* panelLayout_ = nullptr;
    QVBoxLayout* textColumn_ = nullptr;
    QHBoxLayout* bottomRow_ = nullptr;
};

}  // namespace sealwise::gui
