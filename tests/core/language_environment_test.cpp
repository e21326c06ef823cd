// The language of messages from LANGUAGE and the locale variables, in GNU order.
#include <gtest/gtest.h>

#include "app/language.h"

namespace sealwise {
namespace {

TEST(LanguageEnvironment, LanguageListComesFirstUnlessTheLocaleIsC) {
    const struct {
        const char *language, *lcAll, *lcMessages, *lang;
        uint16_t expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, 0x0409},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", 0x0407},
        {nullptr, "fr_CA", "de_DE", "es_ES", 0x0C0C},
        {nullptr, "", "de_CH", "es_ES", 0x0807},
        {"fr", nullptr, nullptr, "de_DE.UTF-8", 0x000C},
        {"fr_BE:de", "de_DE", nullptr, nullptr, 0x080C},
        {"it:nl:de_AT", nullptr, nullptr, "fr_FR", 0x0C07},  // first entry we speak
        {"it:nl", nullptr, nullptr, "fr_FR", 0x040C},        // none: the locale decides
        {"es", nullptr, nullptr, nullptr, 0x0C0A},           // bare Spanish means Spanish here
        {"::en_GB:", nullptr, nullptr, "de_DE", 0x0809},     // empty entries are skipped
        {"", nullptr, nullptr, "es_MX", 0x080A},
        {"de", "C", nullptr, nullptr, 0x0409},  // an explicit C locale wins
        {"de", nullptr, "POSIX", nullptr, 0x0409},
        {"de", nullptr, nullptr, "C.UTF-8", 0x0409},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LangIdFromVariables(c.language, c.lcAll, c.lcMessages, c.lang), c.expected)
            << (c.language ? c.language : "-") << " / " << (c.lcAll ? c.lcAll : "-") << " / "
            << (c.lcMessages ? c.lcMessages : "-") << " / " << (c.lang ? c.lang : "-");
    }
}

}  // namespace
}  // namespace sealwise
