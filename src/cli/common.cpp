#include "cli/common.h"

#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/help_format.h"
#include "files/format/entry_name.h"
#include "util/errors.h"

namespace sealwise::cli {
namespace {

// A message without a leading "Error:" of the current language or of English.
std::string WithoutErrorWord(const std::string& message) {
    static const StringTable table = ParseStringTable(EmbeddedStringTable());
    for (const int offset : {LanguageOffset(), kOffsetEnglish}) {
        const auto entry = table.find(static_cast<int>(Msg::SystemError) + offset);
        if (entry == table.end()) continue;
        const std::string& word = entry->second;
        if (message.rfind(word, 0) == 0) {
            const auto rest = message.find_first_not_of(' ', word.size());
            if (rest != std::string::npos) return message.substr(rest);
        }
    }
    return message;
}

void PrintPrefixed(Io& io, Msg prefixId, const std::string& message) {
    io.err << "sealwise-cli: " << GetResText(prefixId) << " " << message << "\n";
}

// The cause behind the general message CheckNamesAndPassword, told by the core's detail.
Msg CauseOf(const SealError& error) {
    const std::string_view detail = error.what();
    if (detail == "empty text") return Msg::EmptyTextToEncrypt;
    if (detail == "empty passphrase") return Msg::EmptyPassphrase;
    if (detail == "empty armour") return Msg::EmptyArmour;
    if (detail == "armour does not hold whole cipher blocks") return Msg::NotArmour;
    return Msg::CheckNamesAndPassword;
}

// Outside English the help of a command starts with its summary in the current language; the
// longer English description would be the only English sentence left.
void LocaliseDescription(CLI::App& app, const std::string& command) {
    const std::optional<Msg> id = SummaryIdOf(command);
    if (!id || LanguageOffset() == kOffsetEnglish) return;
    std::string summary = GetResText(*id);
    app.description(summary + ".");
}

}  // namespace

void PrintError(Io& io, const std::string& message, const std::string& hint) {
    PrintPrefixed(io, Msg::ErrorPrefix, WithoutErrorWord(message));
    if (!hint.empty()) io.err << GetResText(Msg::HintPrefix) << " " << hint << "\n";
}

void PrintWarning(Io& io, const std::string& message) {
    PrintPrefixed(io, Msg::WarningPrefix, message);
}

void PrintNote(Io& io, const std::string& message) { PrintPrefixed(io, Msg::NotePrefix, message); }

std::string CliMessageText(const SealError& error) {
    if (error.stringId() == Msg::CheckNamesAndPassword) {
        const Msg cause = CauseOf(error);
        if (cause != Msg::CheckNamesAndPassword) return GetResText(cause);
    }
    // The argument may be a name read from a container: print it escaped.
    return MessageText(SealError(error.stringId(), EscapeForDisplay(error.argument())));
}

int ReportFailure(Io& io, const SealError& error) {
    PrintError(io, CliMessageText(error));
    return kFailure;
}

bool FinishOutput(Io& io) {
    io.out.flush();
    if (io.out) return true;
    ReportFailure(io, SealError(Msg::OutputNotWritten, {}, "writing the output failed"));
    return false;
}

bool WriteOutput(Io& io, std::string_view data) {
    io.out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return FinishOutput(io);
}

int ParseArgs(CLI::App& app, const Args& args, Io& io) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 parses a reversed list
    // Help and usage lines name the full command ("sealwise-cli encrypt").
    const std::string command = app.get_name();
    if (command.rfind("sealwise-cli", 0) != 0) app.name("sealwise-cli " + command);
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_help_flag("-h,--help", GetResText(Msg::HelpFlagDescription));
    LocaliseDescription(app, command);
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        io.out << app.help();
        return kOk;
    } catch (const CLI::CallForAllHelp&) {
        io.out << app.help("", CLI::AppFormatMode::All);
        return kOk;
    } catch (const CLI::ParseError& e) {
        PrintError(io, UsageErrorText(e), GetResText(Msg::UsageHint, app.get_name()));
        return kUsage;
    }
    return -1;
}

}  // namespace sealwise::cli
