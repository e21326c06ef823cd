// sealwise-cli list [--json] CONTAINER: entry names and restored sizes, one line each or as
// one JSON array.
#include <algorithm>
#include <ostream>

#include "app/strings.h"
#include "cli/common.h"
#include "cli/json.h"
#include "cli/passphrase_options.h"
#include "files/container_listing.h"
#include "files/entry_name.h"
#include "files/message_ids.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// One object per entry: the name with "/" between directories and the restored size; a damaged
// entry has its number and "damaged": true instead.
void PrintJson(std::ostream& out, const std::vector<ListedEntry>& entries) {
    out << "[";
    const char* separator = "\n";
    for (const auto& entry : entries) {
        out << separator;
        separator = ",\n";
        if (entry.damaged) {
            out << "  {\"number\": " << entry.number << ", \"damaged\": true}";
            continue;
        }
        std::string name = entry.name;
        std::replace(name.begin(), name.end(), '\\', '/');
        out << "  {\"name\": " << JsonString(name) << ", \"size\": " << entry.size << "}";
    }
    out << (entries.empty() ? "]\n" : "\n]\n");
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
                 "{\"number\", \"damaged\": true})");
    AddPassphraseOptions(app, keys);
    AddSharedKeyOption(app, keys);
    app.add_option("container", container, "the container to list")->required();
    if (int rc = ParseArgs(app, args, io); rc >= 0) return rc;

    std::vector<ListedEntry> entries;
    try {
        Bytes key = ObtainKey(keys, PassphraseUse::kDecrypt);
        WipeOnExit<Bytes> wipeKey(key);
        entries = ListContainer(container, key);
    } catch (const SealError& error) {
        return ReportFailure(io, error);
    }
    int result = kOk;
    for (const auto& entry : entries) {
        if (!entry.damaged) continue;
        PrintError(io, GetResText(msg::kDamagedEntryNumber, std::to_string(entry.number)));
        result = kFailure;
    }
    if (json) {
        PrintJson(io.out, entries);
    } else {
        for (const auto& entry : entries) {
            if (!entry.damaged) io.out << PrintableName(entry.name) << '\t' << entry.size << '\n';
        }
    }
    return FinishOutput(io) ? result : kFailure;
}

}  // namespace sealwise::cli
