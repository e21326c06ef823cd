#pragma once
// Pixel geometry of the LightTab strip, independent of any drawing surface.
#include <vector>

namespace sealwise::gui {

constexpr int kMaxTabs = 10;
constexpr int kStripLeft = 3;  // strip position inside the control
constexpr int kStripTop = 2;
constexpr int kStripHeight = 17;
constexpr int kFirstTabLeft = 2;  // tab 0's left edge on the strip
constexpr int kTabPadding = 15;   // added to a title's text width

struct TabSpan {
    int left = 0;
    int width = 0;
    int right() const { return left + width; }
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool Contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// Tab spans on the strip for the given title text widths: tab 0 at 2, each next one behind the
// previous, each as wide as its text plus 15 (rounded to the nearest pixel, halves to even).
std::vector<TabSpan> LayOutTabs(const std::vector<double>& titleWidths);

// The tab a mouse press at strip position x selects, or -1 when x lies left of tab 0 or right
// of the last tab.
int TabAtStripX(const std::vector<TabSpan>& tabs, int x);

// The raised box of the active tab in control coordinates.
PixelRect HighlightBox(const TabSpan& tab);

// The focus rectangle inside the raised box of the given width.
PixelRect FocusRect(int boxWidth);

}  // namespace sealwise::gui
