#pragma once
// LightTab: a self-drawn row of up to ten tabs over a raised panel frame. Inactive tabs are
// drawn flat on one strip; the active tab is a raised box laid over it. Holds no pages: the
// owner shows and hides its panels when AfterTabChange arrives.
#include <QString>
#include <QWidget>
#include <vector>

#include "gui/controls/light_tab_geometry.h"

namespace sealwise::gui {

class LightTab : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int NumberOfTabs READ NumberOfTabs WRITE setNumberOfTabs)
    Q_PROPERTY(int ActiveTab READ ActiveTab WRITE setActiveTab)

  public:
    static const char* const kDefaultCaption;
    static constexpr int kDefaultNumberOfTabs = 4;
    static constexpr int kDefaultActiveTab = 0;

    explicit LightTab(QWidget* parent = nullptr);

    // All titles, each followed by "|".
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    // One title; reading or writing past the last one throws std::out_of_range.
    QString Caption(int index) const;
    void setCaption(int index, const QString& title);

    int NumberOfTabs() const { return numberOfTabs_; }
    // 1 to 10 (std::out_of_range otherwise). When the active tab no longer exists, tab 0
    // becomes active.
    void setNumberOfTabs(int count);

    int ActiveTab() const { return activeTab_; }
    // Shows the tab as active and raises AfterTabChange, also when it already was active.
    void setActiveTab(int index);

    // Where flat tab `index` lies, in the control's coordinates.
    QRect TabRect(int index) const;
    // The raised box of the active tab, in the control's coordinates.
    QRect ActiveBoxRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    void AfterTabChange(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    std::vector<TabSpan> Layout() const;
    QString TitleOrEmpty(int index) const;
    void ShowActiveTab(bool raiseEvent);
    void UpdateAccessibleText();

    QString caption_;
    int numberOfTabs_ = kDefaultNumberOfTabs;
    int activeTab_ = kDefaultActiveTab;
    int announcedTab_ = kDefaultActiveTab;  // the active tab assistive tools were told of
};

}  // namespace sealwise::gui
