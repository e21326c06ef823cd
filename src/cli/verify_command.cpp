// sealwise-cli verify CONTAINER: checks every entry of a container of either format completely
// and writes nothing. Exit 0 only when every entry is sound.
#include <fcntl.h>

#include <cerrno>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/modern_commands.h"
#include "cli/modern_options.h"
#include "cli/passphrase_options.h"
#include "files/format/entry_name.h"
#include "files/io/posix_io.h"
#include "files/jobs/container_verify.h"
#include "modern/byte_stream.h"
#include "modern/modern_inspect.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

int Conclude(Io& io, std::size_t entries, int damaged) {
    if (damaged == 0) {
        io.out << GetResText(Msg::VerifyAllSound, std::to_string(entries)) << "\n";
        return FinishOutput(io) ? kOk : kFailure;
    }
    PrintError(io, GetResText(Msg::VerifySomeDamaged, std::to_string(damaged)));
    return kFailure;
}

void NameDamaged(Io& io, const std::string& entry) {
    PrintError(io, GetResText(Msg::VerifyDamagedEntry, EscapeForDisplay(entry)));
}

int VerifyModern(const std::string& container, const KeyOptions& keys, Io& io) {
    std::vector<std::string> secrets = ObtainSecrets(keys, PassphraseUse::kDecrypt);
    SecretsGuard guard(secrets);
    modern::Inspection inspection;
    if (container == "-") {
        modern::IstreamSource source(io.in);
        inspection = modern::InspectModern(source, "(standard input)", secrets);
    } else {
        const UniqueFd fd(::open(container.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd.valid()) throw SystemErrorAt(errno, container);
        modern::FdSource source(fd.get());
        inspection = modern::InspectModern(source, container, secrets);
    }
    if (!inspection.damaged) return Conclude(io, inspection.soundEntries, 0);
    // Behind the damage nothing can be checked: the rest counts as one damaged part.
    if (inspection.damagedEntry.empty()) {
        PrintError(
            io, MessageText(SealError(Msg::ModernDamagedContainer, EscapeForDisplay(container))));
    } else {
        NameDamaged(io, inspection.damagedEntry);
    }
    return Conclude(io, inspection.soundEntries + 1, 1);
}

int VerifyClassic(const std::string& container, const KeyOptions& keys, Io& io) {
    Bytes key = ObtainKey(keys, PassphraseUse::kDecrypt);
    WipeOnExit<Bytes> wipeKey(key);
    const std::vector<VerifiedEntry> entries = VerifyClassicContainer(container, key);
    int damaged = 0;
    for (const VerifiedEntry& entry : entries) {
        if (!entry.damaged) continue;
        ++damaged;
        NameDamaged(io, entry.name.empty() ? "#" + std::to_string(entry.number)
                                           : PrintableName(entry.name));
    }
    return Conclude(io, entries.size(), damaged);
}

}  // namespace

int RunVerify(const Args& args, Io& io) {
    CLI::App app{
        "Check every entry of a container of either format completely (decipher, "
        "authenticate where the format can, decompress, check lengths and checksums) "
        "without writing anything. Exit status 0 only when every entry is sound.",
        "verify"};
    std::string container;
    KeyOptions keys;
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    app.add_option("container", container,
                   "the container to check ('-': a modern one on "
                   "standard input)")
        ->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;
    try {
        return IsModernContainerArgument(container) ? VerifyModern(container, keys, io)
                                                    : VerifyClassic(container, keys, io);
    } catch (const SealError& error) {
        return ReportFailure(io, error);
    }
}

}  // namespace sealwise::cli
