#include "cli/modern_commands.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <istream>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/interrupt.h"
#include "cli/modern_json.h"
#include "cli/path_args.h"
#include "cli/text_input.h"
#include "files/format/entry_name.h"
#include "files/io/posix_io.h"
#include "modern/modern_inspect.h"
#include "modern/modern_jobs.h"
#include "modern/modern_restore.h"
#include "modern/modern_text.h"
#include "modern/modern_writer.h"
#include "modern/sealed_stream.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise::cli {
namespace {

// Reads a container from standard input or from its file.
class ContainerInput {
  public:
    ContainerInput(const std::string& container, Io& io) {
        if (container == "-") {
            source_ = std::make_unique<modern::IstreamSource>(io.in);
            return;
        }
        fd_ = UniqueFd(::open(container.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd_.valid()) throw SystemErrorAt(errno, container);
        source_ = std::make_unique<modern::FdSource>(fd_.get());
    }
    modern::ByteSource& source() { return *source_; }

  private:
    UniqueFd fd_;
    std::unique_ptr<modern::ByteSource> source_;
};

std::string Shown(const std::string& container) {
    return container == "-" ? "(standard input)" : container;
}

int Encrypt(const std::vector<std::string>& paths, const std::string& container, bool quiet,
            const std::vector<std::string>& secrets, const FormatOptions& format, Io& io) {
    JobReporter reporter(io, io.stderrIsTerminal && !quiet);
    modern::ModernWriteOptions options;
    options.level = format.level;
    options.cost = format.cost();
    InterruptFlag interrupt;
    modern::ModernWriteSummary summary;
    if (container == "-") {
        modern::ModernWriteJob job(reporter, interrupt.stopToken());
        modern::OstreamSink sink(io.out);
        summary = job.Run(paths, sink, secrets, options);
        io.out.flush();
        if (!io.out) throw SealError(Msg::OutputNotWritten, {}, "writing the output failed");
    } else {
        summary = modern::EncryptModernContainer(paths, AbsolutePath(container), secrets, options,
                                                 reporter, interrupt.stopToken());
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, GetResText(Msg::EncryptCancelled));
        return kFailure;
    }
    if (container != "-" && !quiet) {
        io.out << GetResText(Msg::SavedAs, container) << "\n";
    }
    if (summary.failed > 0) {
        PrintError(io, GetResText(Msg::FilesFailed, std::to_string(summary.failed)));
        return kFailure;
    }
    return kOk;
}

}  // namespace

bool IsModernContainerArgument(const std::string& container) {
    if (container == "-") return true;
    try {
        return modern::IsModernContainerFile(container);
    } catch (const SealError&) {
        return false;  // the classic reader reports what is wrong with it
    }
}

int RunModernEncrypt(const std::vector<std::string>& paths, const std::string& container,
                     bool quiet, const KeyOptions& keys, const FormatOptions& format, Io& io) {
    for (const std::string& path : paths) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            PrintError(io, GetResText(Msg::PathMissing, path));
            return kFailure;
        }
    }
    try {
        std::vector<std::string> secrets = ObtainSecrets(keys, PassphraseUse::kEncrypt);
        SecretsGuard guard(secrets);
        WarnIfGuessable(secrets, io);
        return Encrypt(paths, container, quiet, secrets, format, io);
    } catch (const SealError& error) {
        return ReportFailure(io, error);
    }
}

int RunModernDecrypt(const std::string& container, const std::string& outputDirectory,
                     OverwritePolicy policy, bool quiet, const KeyOptions& keys, Io& io) {
    // Standard input carries the container: no answers can come from it.
    if (container == "-" && policy == OverwritePolicy::kAsk) policy = OverwritePolicy::kKeep;
    JobReporter reporter(io, io.stderrIsTerminal && !quiet, policy);
    modern::ModernRestoreSummary summary;
    try {
        std::vector<std::string> secrets = ObtainSecrets(keys, PassphraseUse::kDecrypt);
        SecretsGuard guard(secrets);
        ContainerInput input(container, io);
        InterruptFlag interrupt;
        modern::ModernRestoreJob job(reporter, interrupt.stopToken());
        summary = job.Run(input.source(), Shown(container), outputDirectory, secrets);
    } catch (const SealError& error) {
        reporter.Finish();
        return ReportFailure(io, error);
    }
    reporter.Finish();
    if (summary.outcome == JobOutcome::kCancelled) {
        PrintError(io, GetResText(Msg::DecryptCancelled));
        return kFailure;
    }
    const bool sound = !summary.damaged && summary.failed == 0;
    return sound && reporter.notOverwritten() == 0 ? kOk : kFailure;
}

int RunModernList(const std::string& container, const KeyOptions& keys, bool json, Io& io) {
    // Printed as the entries check out, so a huge listing needs no memory per entry.
    bool first = true;
    const auto print = [&](const modern::EntryMeta& entry) {
        if (json) {
            io.out << (first ? "[\n  " : ",\n  ") << ModernEntryJson(entry);
            first = false;
            return;
        }
        std::string name = EscapeForDisplay(entry.name);
        if (entry.type == modern::EntryType::kDirectory) name += "/";
        if (entry.type == modern::EntryType::kSymlink) {
            name += " -> " + EscapeForDisplay(entry.linkTarget);
        }
        const uint64_t size = entry.type == modern::EntryType::kFile ? entry.size : 0;
        io.out << name << '\t' << size << '\n';
    };
    modern::Inspection inspection;
    try {
        std::vector<std::string> secrets = ObtainSecrets(keys, PassphraseUse::kDecrypt);
        SecretsGuard guard(secrets);
        ContainerInput input(container, io);
        inspection = modern::InspectModern(input.source(), Shown(container), secrets, print);
    } catch (const SealError& error) {
        if (!first) io.out << "\n]\n";  // what was printed stays valid JSON
        io.out.flush();
        return ReportFailure(io, error);
    }
    if (json) {
        if (inspection.damaged) {
            io.out << (first ? "[\n  " : ",\n  ")
                   << ModernDamageJson(inspection.damagedEntry, inspection.soundEntries + 1);
            first = false;
        }
        io.out << (first ? "[]\n" : "\n]\n");
    }
    io.out.flush();
    if (!inspection.damaged) return FinishOutput(io) ? kOk : kFailure;
    ReportFailure(io, inspection.damagedEntry.empty()
                          ? SealError(Msg::ModernDamagedContainer, Shown(container))
                          : SealError(Msg::ModernDamagedEntry, inspection.damagedEntry));
    return kFailure;
}

int RunModernEncryptText(const KeyOptions& keys, const FormatOptions& format, Io& io) {
    try {
        std::string text = ReadAll(io.in);
        WipeOnExit<std::string> wipeText(text);
        if (!IsValidUtf8(text)) throw SealError(Msg::InputNotUtf8, {}, "input not UTF-8");
        if (text.empty()) throw SealError(Msg::CheckNamesAndPassword, {}, "empty text");
        std::vector<std::string> secrets = ObtainSecrets(keys, PassphraseUse::kEncrypt);
        SecretsGuard guard(secrets);
        WarnIfGuessable(secrets, io);
        return WriteOutput(io, modern::SealText(text, secrets, format.cost())) ? kOk : kFailure;
    } catch (const SealError& error) {
        return ReportFailure(io, error);
    }
}

int RunModernDecryptText(const std::string& armour, const KeyOptions& keys, Io& io) {
    try {
        std::vector<std::string> secrets = ObtainSecrets(keys, PassphraseUse::kDecrypt);
        SecretsGuard guard(secrets);
        std::string text = modern::OpenText(armour, secrets);
        WipeOnExit<std::string> wipeText(text);
        return WriteOutput(io, text) ? kOk : kFailure;
    } catch (const SealError& error) {
        return ReportFailure(io, error);
    }
}

}  // namespace sealwise::cli
