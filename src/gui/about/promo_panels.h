#pragma once
// The three promotional panels of the welcome window: which one a random draw picks, which
// languages offer it, its texts and the pages its links open.
#include <string>

#include "app/msg.h"

namespace sealwise::gui {

enum class PromoPanel {
    CommandLine = 0,    // the command-line tool sealwise-cli
    OnlineVersion = 1,  // the online version of the text encryption
    OnlineGuide = 2,    // the online guide, written in German and English only
};

// The panel of a uniform draw r in [0, 1).
PromoPanel PanelFromDraw(double r);

// The guide panel is offered in German and English only; other languages show the online
// version instead.
PromoPanel PanelForLanguage(PromoPanel panel, int languageOffset);

struct PanelContent {
    std::string name;  // promoted name, for the heading and link 1
    std::string site;  // shown as link 5
    Msg text1Id{};
    Msg text2Id{};
};

PanelContent ContentOf(PromoPanel panel);

// The page a link of the panel opens: element 1 is the promoted name, element 5 the site.
std::string PanelLink(PromoPanel panel, int languageOffset, int element);

}  // namespace sealwise::gui
