#pragma once
// Window localisation. In a window's layout a caption, text or tool tip of the form "#<id>"
// names a string of the table. LocalizeForm replaces it by the text of the current language
// and keeps the reference in the widget's "Tag" property, so later passes (after a language
// switch) still know the id. Every step is skipped when it fails; the walk always goes on.
#include <QString>
#include <optional>

#include "app/msg.h"

class QWidget;

namespace sealwise::gui {

// Dynamic properties that keep string references between passes.
inline constexpr char kTagProperty[] = "Tag";
inline constexpr char kToolTipTagProperty[] = "ToolTipTag";
inline constexpr char kTitleTagProperty[] = "TitleTag";
// A reference for the accessible name of a widget without a caption of its own (an image, an
// input field). A trailing colon of the text is dropped.
inline constexpr char kAccessibleTagProperty[] = "AccessibleTag";

// The text of a "#<id>" reference in the current language; nullopt when the text is no
// reference or the id has no entry.
std::optional<QString> ResolveReference(const QString& reference);

// The text of a message in the current language, or `fallback` when there is none.
QString ResText(Msg id, const QString& fallback = {});

// Marks a widget's accessible name as the text of a message.
void SetAccessibleReference(QWidget* widget, Msg id);
void SetToolTipReference(QWidget* widget, Msg id);

void LocalizeForm(QWidget* window);

}  // namespace sealwise::gui
