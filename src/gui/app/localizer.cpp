#include "gui/app/localizer.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include "app/strings.h"
#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace {

bool IsReference(const QString& text) { return text.startsWith('#'); }

QString TagOf(const QWidget* widget) { return widget->property(kTagProperty).toString(); }

// The reference rule shared by captions and texts: a "#" caption moves into Tag, and the text
// of the id in Tag is shown. What a user typed into a text box is never taken for a reference
// (a passphrase "#123" must stay as typed), so text boxes follow only a Tag set by the window.
template <typename Get, typename Set>
void LocalizeValue(QWidget* widget, Get get, Set set, bool adoptReference = true) {
    if (adoptReference && IsReference(get())) widget->setProperty(kTagProperty, get());
    const QString tag = TagOf(widget);
    if (!IsReference(tag)) return;
    if (const auto text = ResolveReference(tag)) set(*text);
}

void LocalizeToolTip(QWidget* widget) {
    if (IsReference(widget->toolTip())) {
        widget->setProperty(kToolTipTagProperty, widget->toolTip());
    }
    const QString tag = widget->property(kToolTipTagProperty).toString();
    if (!IsReference(tag)) return;
    if (const auto text = ResolveReference(tag)) widget->setToolTip(*text);
}

void LocalizeAccessibleName(QWidget* widget) {
    const QString tag = widget->property(kAccessibleTagProperty).toString();
    if (!IsReference(tag)) return;
    if (auto text = ResolveReference(tag)) {
        QString name = text->trimmed();
        if (name.endsWith(':')) name = name.chopped(1).trimmed();
        widget->setAccessibleName(name);
    }
}

void LocalizeWidget(QWidget* widget) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        LocalizeValue(
            widget, [&] { return line->text(); }, [&](const QString& t) { line->setText(t); },
            false);
    } else if (auto* edit = qobject_cast<QTextEdit*>(widget)) {
        LocalizeValue(
            widget, [&] { return edit->toPlainText(); },
            [&](const QString& t) { edit->setPlainText(t); }, false);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        LocalizeValue(
            widget, [&] { return plain->toPlainText(); },
            [&](const QString& t) { plain->setPlainText(t); }, false);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        LocalizeValue(
            widget, [&] { return button->text(); }, [&](const QString& t) { button->setText(t); });
        LocalizeToolTip(widget);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        LocalizeValue(
            widget, [&] { return group->title(); }, [&](const QString& t) { group->setTitle(t); });
        LocalizeToolTip(widget);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        LocalizeValue(
            widget, [&] { return label->text(); }, [&](const QString& t) { label->setText(t); });
        LocalizeToolTip(widget);
    } else {
        // Pictures, lists and the self-drawn controls keep their content; their tool tips and
        // accessible names still follow the language.
        LocalizeToolTip(widget);
    }
    LocalizeAccessibleName(widget);
}

}  // namespace

std::optional<QString> ResolveReference(const QString& reference) {
    if (!IsReference(reference)) return std::nullopt;
    bool isNumber = false;
    const int id = reference.mid(1).toInt(&isNumber);
    if (!isNumber) return std::nullopt;
    try {
        // The id comes from the form's data, so it may name no message at all.
        return QString::fromStdString(GetResText(static_cast<Msg>(id)));
    } catch (const std::exception&) {
        return std::nullopt;  // no entry in the current language: keep what is shown
    }
}

QString ResText(Msg id, const QString& fallback) {
    return ResolveReference(Ref(id)).value_or(fallback);
}

void SetAccessibleReference(QWidget* widget, Msg id) {
    widget->setProperty(kAccessibleTagProperty, Ref(id));
}

void SetToolTipReference(QWidget* widget, Msg id) {
    widget->setProperty(kToolTipTagProperty, Ref(id));
}

void LocalizeForm(QWidget* window) {
    // The title's reference is kept too, so that an open window's title follows a switch.
    if (IsReference(window->windowTitle())) {
        window->setProperty(kTitleTagProperty, window->windowTitle());
    }
    if (const auto title = ResolveReference(window->property(kTitleTagProperty).toString())) {
        window->setWindowTitle(*title);
    }
    QString title = window->windowTitle();
    if (const auto amp = title.indexOf('&'); amp >= 0) {
        window->setWindowTitle(title.left(amp) + title.mid(amp + 1));
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) LocalizeWidget(widget);
}

}  // namespace sealwise::gui
