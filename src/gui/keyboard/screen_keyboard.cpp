#include "gui/keyboard/screen_keyboard.h"

#include <stdexcept>

namespace sealwise::gui {

namespace {

// The first character of a UTF-8 caption ("&&" gives "&", "0" gives "0").
std::string FirstCharacter(const std::string& caption) {
    if (caption.empty()) return {};
    const auto lead = static_cast<unsigned char>(caption[0]);
    std::size_t length = 1;
    if (lead >= 0xF0) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = 3;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return caption.substr(0, length);
}

bool IsLetterKey(int index) { return index >= keys::kFirstLetter && index <= keys::kLastLetter; }

}  // namespace

ScreenKeyboard::ScreenKeyboard(uint32_t keyboardLayout)
    : layoutType_(LayoutTypeFromKeyboardLayout(keyboardLayout)) {
    for (const KeyDefinition& key : DesignKeys()) captions_[key.index] = key.caption;
    for (const auto& [index, caption] : CaptionChanges(layoutType_)) captions_[index] = caption;
}

const std::string& ScreenKeyboard::Caption(int index) const {
    const auto found = captions_.find(index);
    if (found == captions_.end()) throw std::out_of_range("no key " + std::to_string(index));
    return found->second;
}

KeyPress ScreenKeyboard::Click(int index) {
    using Kind = KeyPress::Kind;
    const std::string& caption = Caption(index);
    if (index == keys::kBackspace) return {Kind::kBackspace, {}};
    if (index == keys::kShift) {
        lowerCase_ = !lowerCase_;
        captions_[index] = lowerCase_ ? "shift" : "SHIFT";
        return {Kind::kShiftToggled, {}};
    }
    if (IsLetterKey(index)) {
        const char letter = caption.at(0);
        return {Kind::kAppend,
                std::string(1, lowerCase_ ? static_cast<char>(letter + 32) : letter)};
    }
    if (layoutType_ == KeyboardLayoutType::kGerman &&
        (index == keys::kUmlautO || index == keys::kUmlautU || index == keys::kUmlautA)) {
        static const std::map<int, std::pair<const char*, const char*>> umlauts = {
            {keys::kUmlautO, {"ö", "Ö"}},
            {keys::kUmlautU, {"ü", "Ü"}},
            {keys::kUmlautA, {"ä", "Ä"}}};
        const auto& [lower, upper] = umlauts.at(index);
        return {Kind::kAppend, lowerCase_ ? lower : upper};
    }
    if (layoutType_ == KeyboardLayoutType::kSpanish && index == keys::kUmlautO) {
        return {Kind::kAppend, lowerCase_ ? "ñ" : "Ñ"};
    }
    if (layoutType_ == KeyboardLayoutType::kSpanish && index == keys::kCedilla) {
        return {Kind::kAppend, lowerCase_ ? "ç" : "Ç"};
    }
    if (index == keys::kSpace) return {Kind::kAppend, " "};
    // A tab in a one-line passphrase box would be invisible and hard to type again on a real
    // keyboard, so Tab types nothing; Enter finishes the entry.
    if (index == keys::kTab) return {Kind::kNothing, {}};
    if (index == keys::kEnter) return {Kind::kClose, {}};
    return {Kind::kAppend, FirstCharacter(caption)};
}

bool ScreenKeyboard::SelectZoom(int option) {
    const int wanted = option == 1 ? 2 : 1;
    if (wanted == zoom_) return false;
    zoom_ = wanted;
    return true;
}

TwipRect ScreenKeyboard::Scaled(const TwipRect& design) const {
    return {design.left * zoom_, design.top * zoom_, design.width * zoom_, design.height * zoom_};
}

}  // namespace sealwise::gui
