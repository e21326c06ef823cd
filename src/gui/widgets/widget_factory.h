#pragma once
// Small helpers for building windows: named widgets whose captions are string references.
#include <QLabel>
#include <QPushButton>
#include <QString>

#include "app/msg.h"

namespace sealwise::gui {

// "#<id>": a caption that LocalizeForm replaces by the text of the id.
inline QString Ref(Msg id) { return '#' + QString::number(static_cast<int>(id)); }

// The object name of element `index` of a control array: "cmdNr" and 5 give "cmdNr_5".
inline QString ElementName(const char* array, int index) {
    return QString("%1_%2").arg(QLatin1String(array)).arg(index);
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, bool wrap = false);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text);
// A flat button that looks like a web link.
QPushButton* MakeLinkButton(QWidget* parent, const QString& name, const QString& text);

}  // namespace sealwise::gui
