#include "cli/help_format.h"

#include <algorithm>
#include <cctype>

#include "app/msg.h"
#include "app/strings.h"

namespace sealwise::cli {
namespace {

// "--key-hex" -> "KEY-HEX": the placeholder of an option that names none of its own.
std::string PlaceholderOf(const CLI::Option* opt) {
    std::string name = opt->get_single_name();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string Trim(std::string text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string{} : text.substr(first, last - first + 1);
}

// Help pages fit a terminal of 80 columns.
constexpr std::size_t kHelpWidth = 80;

std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string WrapText(const std::string& text, std::size_t width) {
    std::string out, line, word;
    auto flushWord = [&] {
        if (word.empty()) return;
        if (!line.empty() && Columns(line) + 1 + Columns(word) > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        word.clear();
    };
    for (const char c : text) {
        if (c == ' ') {
            flushWord();
        } else if (c == '\n') {
            flushWord();
            out += line + "\n";
            line.clear();
        } else {
            word += c;
        }
    }
    flushWord();
    return out + line;
}

HelpFormatter::HelpFormatter() {
    column_width(30);
    label("Usage", GetResText(Msg::HelpUsageLabel));
    label("OPTIONS", GetResText(Msg::HelpOptionsBadge));
    label("Positionals", GetResText(Msg::HelpArgumentsHeading));
    label("Options", GetResText(Msg::HelpOptionsHeading));
    label("REQUIRED", GetResText(Msg::HelpRequiredLabel));
}

std::string HelpFormatter::make_group(std::string group, bool is_positional,
                                      std::vector<const CLI::Option*> opts) const {
    return CLI::Formatter::make_group(get_label(group), is_positional, std::move(opts));
}

std::string HelpFormatter::make_option_opts(const CLI::Option* opt) const {
    std::string out;
    if (!opt->get_option_text().empty()) {
        out = " " + opt->get_option_text();
    } else if (opt->get_expected_max() != 0 && !opt->get_positional()) {
        out = " " + PlaceholderOf(opt);
        if (!opt->get_default_str().empty()) out += "=" + opt->get_default_str();
        if (opt->get_expected_max() == CLI::detail::expected_max_vector_size) out += " ...";
    }
    if (opt->get_required() && !opt->get_positional()) out += " " + get_label("REQUIRED");
    return out;
}

std::string HelpFormatter::make_option_desc(const CLI::Option* opt) const {
    return WrapText(opt->get_description(), kHelpWidth - get_column_width());
}

std::string HelpFormatter::make_description(const CLI::App* app) const {
    const std::string description = app->get_description();
    return description.empty() ? std::string{} : WrapText(description, kHelpWidth) + "\n";
}

std::string UsageErrorText(const CLI::ParseError& error) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        const auto at = what.rfind(" is required");
        if (at != std::string::npos && at > 0) {
            return GetResText(Msg::RequiredArgument, what.substr(0, at));
        }
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        const auto colon = what.find(':');
        if (colon != std::string::npos) {
            return GetResText(Msg::UnexpectedArgument, Trim(what.substr(colon + 1)));
        }
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        const auto colon = what.find(':');
        if (colon != std::string::npos) return GetResText(Msg::NeedsValue, what.substr(0, colon));
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr) {
        const auto at = what.find(" excludes ");
        if (at != std::string::npos) {
            return GetResText(Msg::ExcludedOptions, what.substr(0, at), what.substr(at + 10));
        }
    }
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr ||
        dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
        const auto colon = what.find(": ");
        if (colon != std::string::npos) {
            return GetResText(Msg::InvalidValue, what.substr(0, colon),
                              Trim(what.substr(colon + 2)));
        }
    }
    return GetResText(Msg::InvalidCommandLine, what);
}

}  // namespace sealwise::cli
