// sealwise-cli list [--json] CONTAINER: entry names and restored sizes, one line each or as
// one JSON array.
#include <algorithm>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/json.h"
#include "cli/modern_commands.h"
#include "cli/passphrase_options.h"
#include "files/format/container_key.h"
#include "files/format/entry_name.h"
#include "files/jobs/container_listing.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// One object per entry: the name with "/" between directories and the restored size; a damaged
// entry has its number and "damaged": true instead. Written as the entries come, so that a huge
// listing needs no memory per entry.
void PrintJsonEntry(std::ostream& out, const ListedEntry& entry, bool first) {
    out << (first ? "\n" : ",\n");
    if (entry.damaged) {
        out << "  {\"number\": " << entry.number << ", \"damaged\": true}";
        return;
    }
    std::string name = entry.name;
    std::replace(name.begin(), name.end(), '\\', '/');
    out << "  {\"name\": " << JsonString(name) << ", \"size\": " << entry.size << "}";
}

}  // namespace

int RunList(const Args& args, Io& io) {
    CLI::App app{
        "List the entries of a container: name (\"/\" between directories), a tab, and "
        "the size of the restored file. Needs the passphrase.",
        "list"};
    std::string container;
    KeyOptions keys;
    bool json = false;
    app.add_flag("--json", json,
                 "print a JSON array of {\"name\", \"size\"} objects (a damaged entry: "
                 "{\"number\", \"damaged\": true}); modern containers add \"type\", "
                 "\"mode\", \"mtime\", \"mtime_ns\" and, for links, \"target\"");
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    app.add_option("container", container, "the container to list")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    if (IsModernContainerArgument(container)) return RunModernList(container, keys, json, io);
    int result = kOk;
    try {
        std::vector<Bytes> candidates = ObtainCandidateKeys(keys);
        WipeOnExit<std::vector<Bytes>> wipeKeys(candidates);
        ContainerListing listing(container, ChooseContainerKey(container, candidates));
        if (listing.unaccountedBytes() > 0) {
            PrintNote(
                io, GetResText(Msg::UnaccountedBytes, std::to_string(listing.unaccountedBytes())));
        }
        bool first = true;
        if (json) io.out << "[";
        for (ListedEntry entry; listing.Next(entry);) {
            if (entry.damaged) {
                PrintError(io, GetResText(Msg::DamagedEntryNumber, std::to_string(entry.number)));
                result = kFailure;
            }
            if (json) {
                PrintJsonEntry(io.out, entry, first);
                first = false;
            } else if (!entry.damaged) {
                io.out << PrintableName(entry.name) << '\t' << entry.size << '\n';
            }
        }
        if (json) io.out << (first ? "]\n" : "\n]\n");
    } catch (const SealError& error) {
        io.out.flush();
        return ReportFailure(io, error);
    }
    return FinishOutput(io) ? result : kFailure;
}

}  // namespace sealwise::cli
