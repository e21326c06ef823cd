#include "app/language.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>

#include "app/string_table.h"

namespace sealwise {
namespace {

constexpr std::array<uint16_t, 6> kGermanIds = {0x0007, 0x0407, 0x0807, 0x0C07, 0x1007, 0x1407};
constexpr std::array<uint16_t, 7> kFrenchIds = {0x000C, 0x040C, 0x080C, 0x0C0C,
                                                0x100C, 0x140C, 0x180C};
constexpr std::array<uint16_t, 20> kSpanishIds = {
    0x040A, 0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, 0x200A, 0x240A, 0x280A,
    0x2C0A, 0x300A, 0x340A, 0x380A, 0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A};

template <std::size_t N>
bool Contains(const std::array<uint16_t, N>& ids, uint16_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

struct LanguageCode {
    std::string_view language;
    uint16_t primaryId;
};

// ISO 639-1 codes and their Windows primary language ids. Only the four interface languages
// matter for the choice; the others are listed so that they do not read as "unknown".
constexpr LanguageCode kLanguages[] = {
    {"de", 0x07}, {"en", 0x09}, {"es", 0x0A}, {"fr", 0x0C}, {"cs", 0x05}, {"da", 0x06},
    {"el", 0x08}, {"fi", 0x0B}, {"hu", 0x0E}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
    {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ru", 0x19},
    {"sv", 0x1D}, {"tr", 0x1F}, {"zh", 0x04},
};

struct RegionalId {
    std::string_view locale;  // language_COUNTRY, lower case
    uint16_t langId;
};

// Windows ids of the regional variants of the four interface languages.
constexpr RegionalId kRegionalIds[] = {
    {"de_de", 0x0407}, {"de_ch", 0x0807}, {"de_at", 0x0C07}, {"de_lu", 0x1007}, {"de_li", 0x1407},
    {"en_us", 0x0409}, {"en_gb", 0x0809}, {"en_au", 0x0C09}, {"en_ca", 0x1009}, {"en_nz", 0x1409},
    {"en_ie", 0x1809}, {"en_za", 0x1C09}, {"en_jm", 0x2009}, {"en_bz", 0x2809}, {"en_tt", 0x2C09},
    {"en_zw", 0x3009}, {"en_ph", 0x3409}, {"en_in", 0x4009}, {"en_my", 0x4409}, {"en_sg", 0x4809},
    {"fr_fr", 0x040C}, {"fr_be", 0x080C}, {"fr_ca", 0x0C0C}, {"fr_ch", 0x100C}, {"fr_lu", 0x140C},
    {"fr_mc", 0x180C}, {"es_es", 0x0C0A}, {"es_mx", 0x080A}, {"es_gt", 0x100A}, {"es_cr", 0x140A},
    {"es_pa", 0x180A}, {"es_do", 0x1C0A}, {"es_ve", 0x200A}, {"es_co", 0x240A}, {"es_pe", 0x280A},
    {"es_ar", 0x2C0A}, {"es_ec", 0x300A}, {"es_cl", 0x340A}, {"es_uy", 0x380A}, {"es_py", 0x3C0A},
    {"es_bo", 0x400A}, {"es_sv", 0x440A}, {"es_hn", 0x480A}, {"es_ni", 0x4C0A}, {"es_pr", 0x500A},
    {"es_us", 0x540A},
};

constexpr uint16_t kUsEnglish = 0x0409;

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

int LanguageOffsetFromLangId(uint16_t langId) {
    if (Contains(kGermanIds, langId)) return kOffsetGerman;
    if (Contains(kFrenchIds, langId)) return kOffsetFrench;
    if (Contains(kSpanishIds, langId)) return kOffsetSpanish;
    return kOffsetEnglish;
}

uint16_t LangIdFromLocaleName(std::string_view locale) {
    // Drop the codeset (".UTF-8") and the modifier ("@euro").
    const std::size_t cut = locale.find_first_of(".@");
    if (cut != std::string_view::npos) locale = locale.substr(0, cut);
    if (locale.empty() || locale == "C" || locale == "POSIX") return kUsEnglish;

    std::string name = Lower(locale);
    std::replace(name.begin(), name.end(), '-', '_');  // "de-AT" as some tools write it
    for (const auto& regional : kRegionalIds) {
        if (regional.locale == name) return regional.langId;
    }
    const std::string_view language = std::string_view(name).substr(0, name.find('_'));
    for (const auto& code : kLanguages) {
        if (code.language == language) return code.primaryId;
    }
    return 0;
}

uint16_t LangIdFromLocale() {
    return LangIdFromVariables(nullptr, std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                               std::getenv("LANG"));
}

uint16_t LangIdFromVariables(const char* language, const char* lcAll, const char* lcMessages,
                             const char* lang) {
    const char* locale = nullptr;
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    const uint16_t localeId = locale != nullptr ? LangIdFromLocaleName(locale) : kUsEnglish;
    if (locale != nullptr) {
        const std::string_view name(locale);
        const std::string_view base = name.substr(0, name.find_first_of(".@"));
        if (base == "C" || base == "POSIX") return localeId;
    }
    std::string_view list(language != nullptr ? language : "");
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
        if (entry.empty()) continue;
        const uint16_t id = LangIdFromLocaleName(entry);
        // A bare "es" (0x000A) in this list means Spanish, as it does to every GNU program.
        if (id == 0x000A) return 0x0C0A;
        const uint16_t primary = id & 0x3FF;
        if (primary == 0x07 || primary == 0x09 || primary == 0x0A || primary == 0x0C) return id;
    }
    return localeId;
}

uint16_t LangIdForMessages() {
    return LangIdFromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                               std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace sealwise
