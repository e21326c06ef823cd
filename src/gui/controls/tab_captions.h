#pragma once
// The tab titles of a LightTab kept as one text, each title followed by "|".
#include <string>
#include <string_view>
#include <vector>

namespace sealwise::gui {

// The elements of the caption text split at "|" ("A|B|" gives "A", "B" and an empty last one).
std::vector<std::string> SplitTabCaption(std::string_view caption);

// Element `index` of the caption text; throws std::out_of_range past the last element.
std::string TabCaptionElement(std::string_view caption, int index);

// The caption text with element `index` replaced by `title`; the separators stay as they are.
// Throws std::out_of_range past the last element and std::invalid_argument for a title that
// holds "|" (it would split into two tabs).
std::string ReplaceTabCaptionElement(std::string_view caption, int index, std::string_view title);

}  // namespace sealwise::gui
