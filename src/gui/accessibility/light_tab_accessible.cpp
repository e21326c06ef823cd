#include "gui/accessibility/light_tab_accessible.h"

#include "gui/controls/light_tab.h"

namespace sealwise::gui {

LightTabAccessible::LightTabAccessible(QWidget* strip)
    : QAccessibleWidget(strip, QAccessible::PageTabList) {}

LightTabAccessible::~LightTabAccessible() {
    for (const auto& [index, id] : tabs_) QAccessible::deleteAccessibleInterface(id);
}

LightTab* LightTabAccessible::Strip() const { return static_cast<LightTab*>(widget()); }

QAccessibleInterface* LightTabAccessible::Tab(int index) const {
    if (const auto found = tabs_.find(index); found != tabs_.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    auto* tab = new LightTabPageAccessible(Strip(), index);
    tabs_[index] = QAccessible::registerAccessibleInterface(tab);
    return tab;
}

int LightTabAccessible::childCount() const {
    return Strip()->NumberOfTabs() + QAccessibleWidget::childCount();
}

QAccessibleInterface* LightTabAccessible::child(int index) const {
    const int tabs = Strip()->NumberOfTabs();
    if (index < 0) return nullptr;
    return index < tabs ? Tab(index) : QAccessibleWidget::child(index - tabs);
}

int LightTabAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child->role() == QAccessible::PageTab && child->parent() == this) {
        const int index = static_cast<const LightTabPageAccessible*>(child)->Index();
        return index < Strip()->NumberOfTabs() ? index : -1;
    }
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : widgetIndex + Strip()->NumberOfTabs();
}

QAccessibleInterface* LightTabAccessible::childAt(int x, int y) const {
    for (int i = 0; i < Strip()->NumberOfTabs(); ++i) {
        if (Tab(i)->rect().contains(x, y)) return Tab(i);
    }
    return QAccessibleWidget::childAt(x, y);
}

LightTabPageAccessible::LightTabPageAccessible(LightTab* strip, int index)
    : strip_(strip), index_(index) {}

bool LightTabPageAccessible::isValid() const { return strip_ && index_ < strip_->NumberOfTabs(); }

QWindow* LightTabPageAccessible::window() const {
    return strip_ ? strip_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* LightTabPageAccessible::parent() const {
    return strip_ ? QAccessible::queryAccessibleInterface(strip_.data()) : nullptr;
}

QString LightTabPageAccessible::text(QAccessible::Text t) const {
    if (!isValid() || t != QAccessible::Name) return {};
    try {
        return strip_->Caption(index_);
    } catch (const std::exception&) {
        return {};
    }
}

QRect LightTabPageAccessible::rect() const {
    if (!isValid()) return {};
    const QRect local =
        index_ == strip_->ActiveTab() ? strip_->ActiveBoxRect() : strip_->TabRect(index_);
    return QRect(strip_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State LightTabPageAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.selected = index_ == strip_->ActiveTab();
    state.focused = state.selected && strip_->hasFocus();
    state.disabled = !strip_->isEnabled();
    state.invisible = !strip_->isVisible();
    return state;
}

void* LightTabPageAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList LightTabPageAccessible::actionNames() const { return {pressAction()}; }

// As a click on the tab: the active one stays as it is, a disabled strip does nothing.
void LightTabPageAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !isValid() || !strip_->isEnabled()) return;
    if (strip_->ActiveTab() != index_) strip_->setActiveTab(index_);
}

}  // namespace sealwise::gui
