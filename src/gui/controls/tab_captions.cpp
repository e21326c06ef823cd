#include "gui/controls/tab_captions.h"

#include <stdexcept>

namespace sealwise::gui {

std::vector<std::string> SplitTabCaption(std::string_view caption) {
    std::vector<std::string> elements;
    std::size_t start = 0;
    for (std::size_t bar = caption.find('|'); bar != std::string_view::npos;
         bar = caption.find('|', start)) {
        elements.emplace_back(caption.substr(start, bar - start));
        start = bar + 1;
    }
    elements.emplace_back(caption.substr(start));
    return elements;
}

std::string TabCaptionElement(std::string_view caption, int index) {
    const auto elements = SplitTabCaption(caption);
    if (index < 0 || static_cast<std::size_t>(index) >= elements.size()) {
        throw std::out_of_range("tab title " + std::to_string(index) + " does not exist");
    }
    return elements[static_cast<std::size_t>(index)];
}

std::string ReplaceTabCaptionElement(std::string_view caption, int index, std::string_view title) {
    if (title.find('|') != std::string_view::npos) {
        throw std::invalid_argument("a tab title cannot contain \"|\"");
    }
    if (index < 0)
        throw std::out_of_range("tab title " + std::to_string(index) + " does not exist");
    std::size_t start = 0;
    for (int skipped = 0; skipped < index; ++skipped) {
        const std::size_t bar = caption.find('|', start);
        if (bar == std::string_view::npos) {
            throw std::out_of_range("tab title " + std::to_string(index) + " does not exist");
        }
        start = bar + 1;
    }
    const std::size_t end = caption.find('|', start);
    std::string result(caption.substr(0, start));
    result += title;
    if (end != std::string_view::npos) result += caption.substr(end);
    return result;
}

}  // namespace sealwise::gui
