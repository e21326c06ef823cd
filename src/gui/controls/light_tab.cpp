#include "gui/controls/light_tab.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <array>
#include <stdexcept>

#include "gui/controls/line_pen.h"
#include "gui/controls/tab_captions.h"
#include "gui/controls/tab_colours.h"

namespace sealwise::gui {

const char* const LightTab::kDefaultCaption = "Tab0|Tab1|Tab2|Tab3|Tab4|Tab5|Tab6|Tab7|Tab8|Tab9|";

namespace {

constexpr int kFrameTop = 19;      // top edge of the panel frame below the tabs
constexpr int kContentMargin = 6;  // space between the frame and the owner's panels
constexpr int kFlatTitleX = 5, kFlatTitleY = 3;
constexpr int kRaisedTitleX = 9, kRaisedTitleY = 4;

void CheckIndex(int index, int limit, const char* what) {
    if (index < 0 || index >= limit) {
        throw std::out_of_range(std::string(what) + " " + std::to_string(index) +
                                " is outside 0 to " + std::to_string(limit - 1));
    }
}

// Two-line raised frame around the panel area, its top edge at 19 and 20 pixels.
void DrawPanelFrame(QPainter& painter, const std::array<QColor, 4>& colours, int w, int h) {
    LinePen pen(painter);
    for (int i = 1; i <= 2; ++i) {
        pen.MoveTo(i, h - i);
        pen.SetColor(colours[i - 1]);
        pen.LineTo(i, i + 18);
        pen.LineTo(w - i, i + 18);
        pen.SetColor(colours[i + 1]);
        pen.LineTo(w - i, h - i);
        pen.LineTo(i, h - i);
    }
}

// The outline of one tab: flat on the strip, or raised on the active-tab box. The lower ends
// reach the surface's bottom edge while the first tab is active.
void DrawTabOutline(QPainter& painter, const std::array<QColor, 4>& colours, int left, int right,
                    int h, bool raised, bool firstTabActive) {
    const int b = firstTabActive ? 0 : (raised ? 2 : 1);
    LinePen pen(painter);
    for (int k = 0; k <= 1; ++k) {
        pen.MoveTo(left + k, h - b);
        pen.SetColor(colours[k]);
        pen.LineTo(left + k, 2);
        pen.LineTo(left + 2, k);
        pen.LineTo(right - 2, k);
        pen.MoveTo(right - 2, k + 1);
        pen.SetColor(colours[k + 2]);
        pen.LineTo(right - 1 - k, 2);
        pen.LineTo(right - 1 - k, raised ? h + 1 : h);
    }
}

// Tells assistive tools which tab lost and which gained the selection. The tabs are children
// of the strip's accessible interface (a page tab list), registered with the other interfaces.
void NotifyActiveTabChanged(LightTab* strip, int previous, int current) {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(strip);
    if (!face || face->role() != QAccessible::PageTabList) return;
    QAccessible::State selected;
    selected.selected = true;
    for (const int index : {previous, current}) {
        if (index < 0 || index >= strip->NumberOfTabs()) continue;
        QAccessibleStateChangeEvent changed(face->child(index), selected);
        QAccessible::updateAccessibility(&changed);
    }
    QAccessibleEvent within(strip, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&within);
}

}  // namespace

LightTab::LightTab(QWidget* parent) : QWidget(parent), caption_(kDefaultCaption) {
    setFocusPolicy(Qt::StrongFocus);
    setContentsMargins(kContentMargin, kFrameTop + 2 + kContentMargin, kContentMargin,
                       kContentMargin);
    UpdateAccessibleText();
}

void LightTab::setCaption(const QString& caption) {
    caption_ = caption;
    UpdateAccessibleText();
    update();
}

QString LightTab::Caption(int index) const {
    return QString::fromStdString(TabCaptionElement(caption_.toStdString(), index));
}

void LightTab::setCaption(int index, const QString& title) {
    setCaption(QString::fromStdString(
        ReplaceTabCaptionElement(caption_.toStdString(), index, title.toStdString())));
}

void LightTab::setNumberOfTabs(int count) {
    CheckIndex(count - 1, kMaxTabs, "tab count minus one");
    if (activeTab_ >= count) activeTab_ = 0;
    numberOfTabs_ = count;
    UpdateAccessibleText();
    updateGeometry();
    update();
}

void LightTab::setActiveTab(int index) {
    CheckIndex(index, numberOfTabs_, "active tab");
    activeTab_ = index;
    ShowActiveTab(true);
}

QString LightTab::TitleOrEmpty(int index) const {
    const auto titles = SplitTabCaption(caption_.toStdString());
    return index < static_cast<int>(titles.size())
               ? QString::fromStdString(titles[static_cast<std::size_t>(index)])
               : QString();
}

std::vector<TabSpan> LightTab::Layout() const {
    const QFontMetricsF metrics(font());
    std::vector<double> widths;
    for (int t = 0; t < numberOfTabs_; ++t)
        widths.push_back(metrics.horizontalAdvance(TitleOrEmpty(t)));
    return LayOutTabs(widths);
}

QRect LightTab::TabRect(int index) const {
    CheckIndex(index, numberOfTabs_, "tab");
    const TabSpan span = Layout()[static_cast<std::size_t>(index)];
    return QRect(kStripLeft + span.left, kStripTop, span.width, kStripHeight);
}

QRect LightTab::ActiveBoxRect() const {
    const PixelRect box = HighlightBox(Layout()[static_cast<std::size_t>(activeTab_)]);
    return QRect(box.left, box.top, box.width, box.height);
}

QSize LightTab::sizeHint() const { return minimumSizeHint().expandedTo(QSize(200, 120)); }

QSize LightTab::minimumSizeHint() const {
    const auto tabs = Layout();
    const int stripWidth = tabs.empty() ? 0 : tabs.back().right();
    return QSize(kStripLeft + stripWidth + 8, kFrameTop + 8);
}

void LightTab::ShowActiveTab(bool raiseEvent) {
    UpdateAccessibleText();
    update();
    if (announcedTab_ != activeTab_) {
        NotifyActiveTabChanged(this, announcedTab_, activeTab_);
        announcedTab_ = activeTab_;
    }
    if (raiseEvent) Q_EMIT AfterTabChange(activeTab_);
}

void LightTab::UpdateAccessibleText() {
    setAccessibleName(TitleOrEmpty(activeTab_));
    QStringList titles;
    for (int t = 0; t < numberOfTabs_; ++t) titles << TitleOrEmpty(t);
    setAccessibleDescription(titles.join(", "));
}

void LightTab::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TabColours scheme = TabStripColours(palette());
    const auto& colours = scheme.lines;
    const QColor surface = scheme.surface;
    const QColor text =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    painter.fillRect(rect(), surface);
    DrawPanelFrame(painter, colours, width(), height());

    const auto tabs = Layout();
    const bool firstActive = activeTab_ == 0;
    const int lineHeight = fontMetrics().height();

    // Flat tabs on the strip.
    painter.save();
    painter.translate(kStripLeft, kStripTop);
    painter.setClipRect(0, 0, width(), kStripHeight);
    painter.fillRect(0, 0, width(), kStripHeight, surface);
    for (int t = 0; t < numberOfTabs_; ++t) {
        const TabSpan& span = tabs[static_cast<std::size_t>(t)];
        painter.fillRect(span.left + 2, 2, span.width - 4, kStripHeight - 2, scheme.inactiveTab);
        DrawTabOutline(painter, colours, span.left, span.right(), kStripHeight, false, firstActive);
        painter.setPen(text);
        painter.drawText(QRect(span.left + kFlatTitleX, kFlatTitleY, span.width, lineHeight),
                         Qt::AlignLeft | Qt::AlignTop, TitleOrEmpty(t));
    }
    painter.restore();

    // The raised box over the active tab.
    const QRect box = ActiveBoxRect();
    painter.save();
    painter.translate(box.topLeft());
    painter.setClipRect(0, 0, box.width(), box.height());
    painter.fillRect(0, 0, box.width(), box.height(), surface);
    DrawTabOutline(painter, colours, 0, box.width(), box.height(), true, firstActive);
    if (!caption_.isEmpty()) {
        painter.setPen(text);
        painter.drawText(QRect(kRaisedTitleX, kRaisedTitleY, box.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop, TitleOrEmpty(activeTab_));
    }
    if (hasFocus()) {
        const PixelRect focus = FocusRect(box.width());
        painter.setPen(QPen(colours[2], 0, Qt::DotLine));
        painter.drawRect(focus.left, focus.top, focus.width - 1, focus.height - 1);
    }
    painter.restore();
}

void LightTab::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (ActiveBoxRect().contains(at)) {  // the raised box covers the active tab
        update();
        return;
    }
    if (at.y() < kStripTop || at.y() >= kStripTop + kStripHeight) return;
    const int clicked = TabAtStripX(Layout(), at.x() - kStripLeft);
    if (clicked < 0) return;
    if (clicked != activeTab_) {
        activeTab_ = clicked;
        ShowActiveTab(true);
    }
    update();
}

void LightTab::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Right && activeTab_ + 1 >= numberOfTabs_) {
        activeTab_ = numberOfTabs_ - 1;
        return;
    }
    if (event->key() == Qt::Key_Left && activeTab_ - 1 < 0) {
        activeTab_ = 0;
        return;
    }
    if (event->key() == Qt::Key_Right) ++activeTab_;
    if (event->key() == Qt::Key_Left) --activeTab_;
    ShowActiveTab(true);
}

void LightTab::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void LightTab::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void LightTab::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) updateGeometry();
    QWidget::changeEvent(event);
}

}  // namespace sealwise::gui
