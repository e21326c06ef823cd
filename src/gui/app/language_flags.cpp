#include "gui/app/language_flags.h"

#include "app/msg.h"
#include "app/strings.h"
#include "gui/app/localizer.h"
#include "gui/widgets/flag_image.h"

namespace sealwise::gui {

std::array<FlagImage*, 4> CreateLanguageFlags(QWidget* parent) {
    constexpr std::array<FlagKind, 4> kinds = {FlagKind::German, FlagKind::English,
                                               FlagKind::Spanish, FlagKind::French};
    constexpr std::array<Msg, 4> names = {Msg::LanguageGerman, Msg::LanguageEnglish,
                                          Msg::LanguageSpanish, Msg::LanguageFrench};
    std::array<FlagImage*, 4> flags{};
    for (std::size_t i = 0; i < flags.size(); ++i) {
        flags[i] = new FlagImage(kinds[i], parent);
        flags[i]->setObjectName(kLanguageFlags[i].objectName);
        SetAccessibleReference(flags[i], names[i]);
        SetToolTipReference(flags[i], names[i]);
    }
    return flags;
}

void MarkLanguageFlag(QWidget* window) {
    for (const auto& entry : kLanguageFlags) {
        if (auto* flag = window->findChild<FlagImage*>(entry.objectName)) {
            flag->SetMarked(entry.languageOffset == LanguageOffset());
        }
    }
}

}  // namespace sealwise::gui
