#include "gui/keyboard/keyboard_layout.h"

#include <initializer_list>
#include <string>

#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace {

constexpr int kKey = 375;  // side of an ordinary key
constexpr int kMargin = 120;
constexpr int kRowTops[] = {360, 735, 1110, 1485};
constexpr int kNumericLeft = 6105;  // the numeric block, right of the Enter key

struct KeySpec {
    int index;
    std::string caption;  // as shown, or "#<id>" for a text of the string table
    int width = kKey;
    int height = kKey;
};

// Appends one row of adjacent keys from `left`; numbering continues from `position`.
int AddRow(std::vector<KeyDefinition>& keys, int row, int position, int left, int top,
           std::initializer_list<KeySpec> specs) {
    for (const KeySpec& spec : specs) {
        keys.push_back(
            {spec.index, row, position++, {left, top, spec.width, spec.height}, spec.caption});
        left += spec.width;
    }
    return position;
}

std::vector<KeyDefinition> BuildDesignKeys() {
    std::vector<KeyDefinition> keys;
    const int numeric3 = kNumericLeft + 2 * kKey;

    int next = AddRow(keys, 1, 1, kMargin, kRowTops[0],
                      {{14, "^"},
                       {55, "!"},
                       {56, "\""},
                       {57, "§"},
                       {15, "$"},
                       {58, "%"},
                       {59, "&&"},
                       {60, "/"},
                       {61, "("},
                       {62, ")"},
                       {63, "="},
                       {64, "?"},
                       {65, "ß"},
                       {keys::kBackspace, "<-", 615}});
    AddRow(keys, 1, next, kNumericLeft, kRowTops[0], {{7, "7"}, {8, "8"}, {9, "9"}});

    next = AddRow(keys, 2, 1, kMargin, kRowTops[1],
                  {{keys::kTab, Ref(Msg::TabKey).toStdString(), 495},
                   {35, "Q"},
                   {41, "W"},
                   {23, "E"},
                   {36, "R"},
                   {38, "T"},
                   {44, "Z"},
                   {39, "U"},
                   {27, "I"},
                   {33, "O"},
                   {34, "P"},
                   {48, "Ü"},
                   {51, "+"},
                   {53, "*"},
                   {keys::kEnter, "Enter", 495, 1095}});
    AddRow(keys, 2, next, kNumericLeft, kRowTops[1], {{4, "4"}, {5, "5"}, {6, "6"}});

    next = AddRow(keys, 3, 1, kMargin + 615, kRowTops[2],
                  {{19, "A"},
                   {37, "S"},
                   {22, "D"},
                   {24, "F"},
                   {25, "G"},
                   {26, "H"},
                   {28, "J"},
                   {29, "K"},
                   {30, "L"},
                   {47, "Ö"},
                   {49, "Ä"},
                   {52, "'"}});
    AddRow(keys, 3, next, kNumericLeft, kRowTops[2], {{1, "1"}, {2, "2"}, {3, "3"}});

    next = AddRow(keys, 4, 1, kMargin, kRowTops[3],
                  {{keys::kShift, "shift", 735},
                   {43, "Y"},
                   {42, "X"},
                   {21, "C"},
                   {40, "V"},
                   {20, "B"},
                   {32, "N"},
                   {31, "M"},
                   {45, "."},
                   {46, ":"},
                   {54, ";"},
                   {50, "-"}});
    // The wide "0" is one pixel short of two keys, so "," stays in the column of "3".
    next = AddRow(keys, 4, next, kNumericLeft, kRowTops[3], {{0, "0", 735}});
    AddRow(keys, 4, next, numeric3, kRowTops[3], {{10, ","}});

    AddRow(keys, 5, 1, 1230, 1920, {{keys::kSpace, Ref(Msg::SpaceKey).toStdString(), 3855, 255}});
    AddRow(keys, 5, 2, kNumericLeft, 1800, {{66, "\\"}});
    return keys;
}

}  // namespace

const std::vector<KeyDefinition>& DesignKeys() {
    static const std::vector<KeyDefinition> keys = BuildDesignKeys();
    return keys;
}

const std::map<int, std::string>& CaptionChanges(KeyboardLayoutType type) {
    static const std::map<int, std::string> none;
    static const std::map<int, std::string> english = {
        {14, "~"},  {56, "@"}, {57, "#"}, {59, "^"}, {60, "&&"}, {61, "*"}, {62, "("}, {63, ")"},
        {64, "-"},  {65, "="}, {44, "Y"}, {43, "Z"}, {47, ":"},  {49, ";"}, {48, "["}, {51, "]"},
        {53, "\\"}, {45, ","}, {46, "."}, {54, "?"}, {10, "."},  {50, "/"}};
    static const std::map<int, std::string> spanish = {{14, "°"}, {57, "·"}, {65, "¿"}, {44, "Y"},
                                                       {43, "Z"}, {48, "`"}, {53, "¡"}, {47, "ñ"},
                                                       {49, "´"}, {52, "ç"}};
    switch (type) {
        case KeyboardLayoutType::kEnglish:
            return english;
        case KeyboardLayoutType::kSpanish:
            return spanish;
        case KeyboardLayoutType::kGerman:
            break;
    }
    return none;
}

KeyboardLayoutType LayoutTypeFromKeyboardLayout(uint32_t keyboardLayout) {
    constexpr uint16_t kGermanDevice = 0xF0C0;
    constexpr uint16_t kGermanGermany = 0x0407;
    constexpr uint16_t kSpanishTraditionalSort = 0x040A;
    constexpr uint16_t kSpanishModernSort = 0x0C0A;
    const uint16_t device = HIWORD(keyboardLayout);
    const uint16_t language = LOWORD(keyboardLayout);
    if (device == kGermanDevice || language == kGermanGermany) return KeyboardLayoutType::kGerman;
    if (language == kSpanishTraditionalSort || language == kSpanishModernSort) {
        return KeyboardLayoutType::kSpanish;
    }
    return KeyboardLayoutType::kEnglish;
}

}  // namespace sealwise::gui
