#include "gui/accessibility/accessible_controls.h"

#include <QString>

#include "gui/accessibility/light_tab_accessible.h"
#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/star_rating.h"

namespace sealwise::gui {

namespace {

// The program's windows: the main window and the keyboard are frames, the welcome window and
// the e-mail window dialogs (both end with a button that closes them).
QAccessible::Role WindowRole(const QString& className) {
    if (className == "sealwise::gui::MainWindow" || className == "sealwise::gui::KeyboardWindow")
        return QAccessible::Window;
    if (className == "sealwise::gui::WelcomeWindow" || className == "sealwise::gui::MailWindow")
        return QAccessible::Dialog;
    return QAccessible::NoRole;
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (qobject_cast<LightTab*>(object)) return new LightTabAccessible(widget);
    if (qobject_cast<FlagImage*>(object)) return new FlagAccessible(widget);
    if (qobject_cast<StarRating*>(object)) return new RatingAccessible(widget);
    if (const QAccessible::Role role = WindowRole(className); role != QAccessible::NoRole)
        return new QAccessibleWidget(widget, role);
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

FlagAccessible::FlagAccessible(QWidget* flag) : QAccessibleWidget(flag, QAccessible::RadioButton) {}

QAccessible::State FlagAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = static_cast<FlagImage*>(widget())->IsMarked();
    return state;
}

QStringList FlagAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void FlagAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        if (widget()->isEnabled()) static_cast<FlagImage*>(widget())->Press();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

RatingAccessible::RatingAccessible(QWidget* rating)
    : QAccessibleWidget(rating, QAccessible::Indicator) {}

QString RatingAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value || t == QAccessible::Description) {
        const QString stars = QString::number(static_cast<StarRating*>(widget())->Stars());
        return ResText(Msg::StarsOfFive, "%s of 5 stars").replace("%s", stars);
    }
    return QAccessibleWidget::text(t);
}

void* RatingAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant RatingAccessible::currentValue() const {
    return static_cast<StarRating*>(widget())->Stars();
}

QVariant RatingAccessible::maximumValue() const { return StarRating::kStarCount; }

}  // namespace sealwise::gui
