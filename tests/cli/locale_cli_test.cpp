// The command line's own texts follow LANGUAGE and the locale: help, prefixes, usage errors and
// the labels of "rate"; "rate --json" keeps its English keys in every language.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "app/strings.h"
#include "cli/cli_test_support.h"

namespace sealwise::cli {
namespace {

const std::string kCli = SEALWISE_CLI_PATH;

// Output (stdout and stderr) of sealwise-cli run with exactly the given locale variables.
std::string RunWithLocale(const std::string& variables, const std::string& arguments,
                          const std::string& input = {}) {
    const std::string command = "printf '%s' '" + input +
                                "' | env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG " +
                                variables + " '" + kCli + "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
}

TEST(CliLocale, VariablesChooseTheLanguageOfTheHelp) {
    const struct {
        const char* variables;
        const char* heading;
    } cases[] = {
        {"", "Commands:"},
        {"LANG=de_DE.UTF-8", "Befehle:"},
        {"LANG=es_ES.UTF-8", "Órdenes:"},
        {"LC_MESSAGES=fr_FR.UTF-8 LANG=de_DE.UTF-8", "Commandes :"},
        {"LC_ALL=de_AT.UTF-8 LANG=fr_FR.UTF-8", "Befehle:"},
        {"LANGUAGE=fr:de LANG=de_DE.UTF-8", "Commandes :"},
        {"LANGUAGE=it:es LANG=de_DE.UTF-8", "Órdenes:"},  // the first language it speaks
        {"LANGUAGE=es", "Órdenes:"},                      // no locale set: LANGUAGE counts
        {"LANGUAGE=de LC_ALL=C", "Commands:"},            // C asks for untranslated texts
        {"LANGUAGE=fr LANG=POSIX", "Commands:"},
        {"LANG=it_IT.UTF-8", "Commands:"},
    };
    for (const auto& c : cases) {
        const std::string help = RunWithLocale(c.variables, "--help");
        EXPECT_NE(help.find(c.heading), std::string::npos) << c.variables << "\n" << help;
    }
}

TEST(CliLocale, GermanCommandLineSpeaksGerman) {
    const std::string de = "LANG=de_DE.UTF-8";
    EXPECT_NE(RunWithLocale(de, "--help").find("Dateien und Verzeichnisbäume in einen Container"),
              std::string::npos);
    EXPECT_EQ(RunWithLocale(de, "frobnicate"),
              "sealwise-cli: Fehler: Unbekannter Befehl „frobnicate“.\n"
              "Tipp: „sealwise-cli --help“ listet die Befehle auf.\n");
    EXPECT_EQ(RunWithLocale(de, "list"),
              "sealwise-cli: Fehler: container fehlt; es wird benötigt.\n"
              "Tipp: „sealwise-cli list --help“ zeigt den Aufruf.\n");
    const std::string listHelp = RunWithLocale(de, "help list");
    EXPECT_NE(listHelp.find("Aufruf: sealwise-cli list [OPTIONEN]"), std::string::npos) << listHelp;
    EXPECT_NE(listHelp.find("Die Einträge eines Containers mit ihren Größen auflisten."),
              std::string::npos)
        << listHelp;
}

TEST(CliLocale, RateLabelsFollowTheLanguageButJsonKeepsEnglishKeys) {
    const std::string text = RunWithLocale("LANG=fr_FR.UTF-8", "rate", "aaaa");
    EXPECT_EQ(text.find("score: "), 0u) << text;
    EXPECT_NE(text.find("\nétoiles: "), std::string::npos) << text;
    EXPECT_NE(text.find("\nvoyants: rouge\n"), std::string::npos) << text;

    const std::string german = RunWithLocale("LANG=de_DE.UTF-8", "rate", "aaaa");
    EXPECT_EQ(german.find("Punktzahl: "), 0u) << german;
    EXPECT_NE(german.find("\nLampen: rot\n"), std::string::npos) << german;

    const std::string json = RunWithLocale("LANG=de_DE.UTF-8", "rate --json", "aaaa");
    EXPECT_EQ(json.find("{\"score\": "), 0u) << json;
    for (const char* key : {"\"verdict\": \"", "\"verdict_id\": ", "\"stars\": ",
                            "\"lamps\": [\"red\"], ", "\"guesses_log10\": ", "\"weak\": true}"}) {
        EXPECT_NE(json.find(key), std::string::npos) << key << " in " << json;
    }
}

}  // namespace
}  // namespace sealwise::cli
