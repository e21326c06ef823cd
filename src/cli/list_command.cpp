// sealwise-cli list CONTAINER: entry names and restored sizes, one line each.
#include <ostream>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "files/container_key.h"
#include "files/container_listing.h"
#include "files/entry_name.h"
#include "files/message_ids.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {

int RunList(const Args& args, Io& io) {
    CLI::App app{
        "List the entries of a container: name (\"/\" between directories), a tab, and "
        "the size of the restored file. Needs the passphrase.",
        "list"};
    std::string container;
    KeyOptions keys;
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    app.add_option("container", container, "the container to list")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    if (IsModernContainerArgument(container)) return RunModernList(container, keys, io);
    int result = kOk;
    try {
        std::vector<Bytes> candidates = ObtainCandidateKeys(keys);
        WipeOnExit<std::vector<Bytes>> wipeKeys(candidates);
        ContainerListing listing(container, ChooseContainerKey(container, candidates));
        if (listing.unaccountedBytes() > 0) {
            io.err << "sealwise-cli: note: "
                   << GetResText(msg::kUnaccountedBytes, std::to_string(listing.unaccountedBytes()))
                   << "\n";
        }
        // One entry at a time: the listing of a huge container needs no more memory.
        for (ListedEntry entry; listing.Next(entry);) {
            if (entry.damaged) {
                PrintError(io, GetResText(msg::kDamagedEntryNumber, std::to_string(entry.number)));
                result = kFailure;
                continue;
            }
            io.out << PrintableName(entry.name) << '\t' << entry.size << '\n';
        }
    } catch (const SealError& error) {
        io.out.flush();
        return ReportFailure(io, error);
    }
    io.out.flush();
    return result;
}

}  // namespace sealwise::cli
