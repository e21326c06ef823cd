#pragma once
// The help and usage-error side of option parsing: help pages in the language of the locale
// without the parser's type annotations, and parser errors as localised sentences.
#include <CLI/CLI.hpp>
#include <string>

namespace sealwise::cli {

// Formats help with localised headings; an option shows its placeholder (FILE, DIR, ...) or
// the upper-case option name, never a type such as "UINT:INT in [1 - 1048576]".
class HelpFormatter : public CLI::Formatter {
  public:
    HelpFormatter();
    std::string make_group(std::string group, bool is_positional,
                           std::vector<const CLI::Option*> opts) const override;
    std::string make_option_opts(const CLI::Option* opt) const override;
    std::string make_option_desc(const CLI::Option* opt) const override;
    std::string make_description(const CLI::App* app) const override;
};

// text broken into lines of at most width columns (counted in UTF-8 characters) at blanks.
std::string WrapText(const std::string& text, std::size_t width);

// The message for a parser error in the current language.
std::string UsageErrorText(const CLI::ParseError& error);

}  // namespace sealwise::cli
