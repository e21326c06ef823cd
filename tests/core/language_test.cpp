#include "app/language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/string_table.h"

namespace sealwise {
namespace {

TEST(LanguageOffsetFromLangId, MapsTheStartUpTable) {
    EXPECT_EQ(LanguageOffsetFromLangId(0x0C0A), kOffsetSpanish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x4C0A), kOffsetSpanish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x500A), kOffsetSpanish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x040A), kOffsetSpanish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x000A), kOffsetEnglish);  // bare Spanish is not listed
    EXPECT_EQ(LanguageOffsetFromLangId(0x540A), kOffsetEnglish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x0809), kOffsetEnglish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x0000), kOffsetEnglish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x0410), kOffsetEnglish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x0807), kOffsetGerman);
    EXPECT_EQ(LanguageOffsetFromLangId(0x0007), kOffsetGerman);
    EXPECT_EQ(LanguageOffsetFromLangId(0x1407), kOffsetGerman);
    EXPECT_EQ(LanguageOffsetFromLangId(0x1807), kOffsetEnglish);
    EXPECT_EQ(LanguageOffsetFromLangId(0x180C), kOffsetFrench);
    EXPECT_EQ(LanguageOffsetFromLangId(0x000C), kOffsetFrench);
    EXPECT_EQ(LanguageOffsetFromLangId(0x1C0C), kOffsetEnglish);
}

TEST(LangIdFromLocaleName, ParsesLocaleNames) {
    EXPECT_EQ(LangIdFromLocaleName("de_AT"), 0x0C07);
    EXPECT_EQ(LangIdFromLocaleName("de_DE.UTF-8"), 0x0407);
    EXPECT_EQ(LangIdFromLocaleName("de_DE@euro"), 0x0407);
    EXPECT_EQ(LangIdFromLocaleName("de-CH"), 0x0807);
    EXPECT_EQ(LangIdFromLocaleName("de"), 0x0007);
    EXPECT_EQ(LangIdFromLocaleName("de_BE"), 0x0007);  // no own id: the bare language
    EXPECT_EQ(LangIdFromLocaleName("fr_CA.utf8"), 0x0C0C);
    EXPECT_EQ(LangIdFromLocaleName("fr_MC"), 0x180C);
    EXPECT_EQ(LangIdFromLocaleName("es_ES.UTF-8"), 0x0C0A);
    EXPECT_EQ(LangIdFromLocaleName("es_NI"), 0x4C0A);
    EXPECT_EQ(LangIdFromLocaleName("es"), 0x000A);
    EXPECT_EQ(LangIdFromLocaleName("en_GB.UTF-8"), 0x0809);
    EXPECT_EQ(LangIdFromLocaleName("C"), 0x0409);
    EXPECT_EQ(LangIdFromLocaleName("C.UTF-8"), 0x0409);
    EXPECT_EQ(LangIdFromLocaleName("POSIX"), 0x0409);
    EXPECT_EQ(LangIdFromLocaleName("it_IT"), 0x0010);
    EXPECT_EQ(LangIdFromLocaleName("xx_YY"), 0x0000);
}

// Sets the three locale variables for one test and restores them afterwards.
class LocaleEnvironment : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(kNames[i]);
            if (value != nullptr) saved_[i] = value;
        }
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) {
            if (saved_[i]) {
                setenv(kNames[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }
    static void Set(const char* all, const char* messages, const char* lang) {
        const char* values[] = {all, messages, lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i]) {
                setenv(kNames[i], values[i], 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved_[3];
};

TEST_F(LocaleEnvironment, FirstNonEmptyVariableDecides) {
    Set("fr_FR.UTF-8", "de_DE.UTF-8", "es_ES.UTF-8");
    EXPECT_EQ(LangIdFromLocale(), 0x040C);
    Set("", "de_DE.UTF-8", "es_ES.UTF-8");
    EXPECT_EQ(LangIdFromLocale(), 0x0407);
    Set(nullptr, "", "es_ES.UTF-8");
    EXPECT_EQ(LangIdFromLocale(), 0x0C0A);
    Set(nullptr, nullptr, nullptr);
    EXPECT_EQ(LangIdFromLocale(), 0x0409);
}

}  // namespace
}  // namespace sealwise
