#include "gui/controls/light_tab_geometry.h"

#include <cmath>

namespace sealwise::gui {

std::vector<TabSpan> LayOutTabs(const std::vector<double>& titleWidths) {
    std::vector<TabSpan> tabs;
    int left = kFirstTabLeft;
    for (const double textWidth : titleWidths) {
        const int width = static_cast<int>(std::nearbyint(textWidth + kTabPadding));
        tabs.push_back({left, width});
        left += width;
    }
    return tabs;
}

int TabAtStripX(const std::vector<TabSpan>& tabs, int x) {
    if (tabs.empty() || x <= tabs.front().left || x > tabs.back().right()) return -1;
    int first = 0;
    while (first < static_cast<int>(tabs.size()) && tabs[first].left < x) ++first;
    return first - 1;
}

PixelRect HighlightBox(const TabSpan& tab) {
    return {tab.left - 1, kStripTop - 2, tab.width + 6, kStripHeight + 4};
}

PixelRect FocusRect(int boxWidth) {
    constexpr int kLeft = 4, kTop = 3, kBottom = 19;
    return {kLeft, kTop, boxWidth - 3 - kLeft, kBottom - kTop};
}

}  // namespace sealwise::gui
