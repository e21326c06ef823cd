#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, bool wrap) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setWordWrap(wrap);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = Named(new QPushButton(text, parent), name);
    button->setAutoDefault(false);
    return button;
}

QPushButton* MakeLinkButton(QWidget* parent, const QString& name, const QString& text) {
    auto* link = MakeButton(parent, name, text);
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(
        "QPushButton { color: #1f5fae; text-decoration: underline; border: none; padding: 2px; "
        "text-align: left; }"
        "QPushButton:hover { color: #0b3f80; }"
        "QPushButton:focus { outline: 1px dotted #1f5fae; }");
    return link;
}

}  // namespace sealwise::gui
