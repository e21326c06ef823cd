#include "modern/modern_restore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>

#include "app/msg.h"
#include "files/io/deferred_flush.h"
#include "files/io/output_directory.h"
#include "modern/entry_stream.h"
#include "modern/restore_file.h"
#include "modern/restore_writer.h"

namespace sealwise::modern {
namespace {

std::vector<std::string> Components(const std::string& name) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = name.find('/', start);
        parts.push_back(name.substr(start, slash - start));
        if (slash == std::string::npos) return parts;
        start = slash + 1;
    }
}

struct CreatedDirectory {
    std::vector<std::string> components;
    EntryMeta meta;
};

class Restorer {
  public:
    Restorer(FileJobObserver& observer, std::stop_token stop, EntryStream& entries,
             OutputDirectory& out, ModernRestoreSummary& summary)
        : observer_(observer),
          stop_(std::move(stop)),
          entries_(entries),
          out_(out),
          summary_(summary) {
        out_.OnDirectoryCreated([this](const SharedFd& dir) { flush_.AddDirectory(dir); });
    }

    bool Cancelled() const { return stop_.stop_requested(); }

    // Drops a file left open (the run was cancelled or hit damage inside it), waits for the
    // writer and reports what it finished.
    void Settle() {
        writer_.Abandon();
        writer_.Drain();
        ReportOutcomes();
    }

    // One entry; false when the run was cancelled inside it.
    bool Restore(const EntryMeta& meta, const std::string& display) {
        const std::vector<std::string> parts = Components(meta.name);
        WaitIfPending(parts);
        try {
            const SharedFd parent = out_.OpenParent(parts).dir;
            switch (meta.type) {
                case EntryType::kDirectory:
                    MakeDirectory(parent, parts, meta, display);
                    return true;
                case EntryType::kSymlink:
                    MakeLink(parent, parts.back(), meta, display);
                    return true;
                case EntryType::kFile:
                    return WriteFile(parent, parts.back(), meta, display);
            }
        } catch (const StreamDamaged&) {
            throw;
        } catch (const SealError& error) {
            observer_.ReportError(display, error);
            ++summary_.failed;
            entries_.SkipData();  // the stream goes on behind this entry
        }
        return true;
    }

    // Directories get their bits and times last, deepest first, so that read-only ones and
    // the files made inside them do not get in the way.
    void FinishDirectories() {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            const std::string display = out_.DisplayPath(it->components);
            try {
                const SharedFd parent = out_.OpenParent(it->components).dir;
                const UniqueFd dir(::openat(parent->get(), it->components.back().c_str(),
                                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                if (!dir.valid()) throw SystemError(errno, "open directory");
                if (::futimens(dir.get(), RestoredTimes(it->meta).data()) != 0 ||
                    ::fchmod(dir.get(), RestoredMode(it->meta.mode)) != 0) {
                    throw SystemError(errno, "directory metadata");
                }
            } catch (const SealError& error) {
                observer_.ReportError(display, error);
                ++summary_.failed;
            }
        }
    }

    // Brings the files and directories restored so far to disk; a failure is reported.
    void FinishFlushing(const std::string& where) {
        try {
            flush_.Flush(where);
        } catch (const SealError& error) {
            observer_.ReportError(where, error);
            ++summary_.failed;
        }
    }

  private:
    void MakeDirectory(const SharedFd& parentDir, const std::vector<std::string>& parts,
                       const EntryMeta& meta, const std::string& display) {
        const int parent = parentDir->get();
        const std::string& leaf = parts.back();
        switch (InspectLeaf(parent, leaf).state) {
            case LeafState::kDirectory:
                break;  // already there: it keeps its own bits and times
            case LeafState::kFile:
                throw SealError(Msg::PathNotDirectory, display, "a file where a directory goes");
            case LeafState::kMissing:
                if (::mkdirat(parent, leaf.c_str(), 0700) != 0) throw SystemError(errno, "mkdir");
                flush_.AddDirectory(parentDir);
                created_.push_back({parts, meta});
                break;
        }
        ++summary_.restored;
    }

    // The link is made under a temporary name and renamed over the final one, which replaces
    // an existing link or file itself and never what a link points to.
    void MakeLink(const SharedFd& parentDir, const std::string& leaf, const EntryMeta& meta,
                  const std::string& display) {
        const int parent = parentDir->get();
        if (!MayReplace(parent, leaf, display)) return;
        const std::string temp = HiddenTempName();
        if (::symlinkat(meta.linkTarget.c_str(), parent, temp.c_str()) != 0) {
            throw SystemError(errno, "symlink");
        }
        ::utimensat(parent, temp.c_str(), RestoredTimes(meta).data(), AT_SYMLINK_NOFOLLOW);
        if (::renameat(parent, temp.c_str(), parent, leaf.c_str()) != 0) {
            const int err = errno;
            ::unlinkat(parent, temp.c_str(), 0);
            throw SystemError(err, "rename link");
        }
        flush_.AddDirectory(parentDir);
        ++summary_.restored;
        observer_.ItemRestored(display, 0);
    }

    // The file is made, written and committed by the writer thread; this thread reads and
    // authenticates its pieces and commits it once they all did.
    bool WriteFile(const SharedFd& parentDir, const std::string& leaf, const EntryMeta& meta,
                   const std::string& display) {
        const int parent = parentDir->get();
        switch (InspectLeaf(parent, leaf).state) {
            case LeafState::kDirectory:
                throw SystemError(EISDIR, display);
            case LeafState::kMissing:
                writer_.Begin(parentDir, leaf, false, meta.name, display);
                break;
            case LeafState::kFile: {
                const OverwriteAnswer answer = observer_.AskOverwrite(display);
                if (answer.choice == OverwriteChoice::kOverwrite) {
                    writer_.Begin(parentDir, leaf, true, meta.name, display);
                } else if (answer.choice == OverwriteChoice::kRename && !answer.newPath.empty()) {
                    Settle();  // the new name may be one the writer is still making
                    BeginElsewhere(meta.name, answer.newPath);
                } else {
                    ++summary_.skipped;
                    entries_.SkipData();
                    return true;
                }
            }
        }
        pending_.insert(meta.name);
        observer_.ItemStarted(display, -1);
        std::span<const uint8_t> piece;
        while (entries_.NextPiece(piece)) {
            writer_.Append(piece);
            observer_.BytesDone(static_cast<int64_t>(piece.size()));
            if (Cancelled()) {
                writer_.Abandon();
                return false;
            }
        }
        writer_.Commit(meta);
        ReportOutcomes();
        return true;
    }

    void BeginElsewhere(const std::string& name, const std::string& path) {
        const auto slash = path.find_last_of('/');
        const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        auto fd = std::make_shared<const UniqueFd>(
            ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd->valid()) throw SystemErrorAt(errno, dir);
        writer_.Begin(std::move(fd), path.substr(slash + 1), false, name, path);
    }

    // Reports the files the writer finished since the last call.
    void ReportOutcomes() {
        for (RestoreWriter::Outcome& done : writer_.TakeOutcomes()) {
            pending_.erase(done.name);
            if (done.committed) {
                ++summary_.restored;
                observer_.ItemRestored(done.path, done.size);
                continue;
            }
            if (!done.error) continue;  // abandoned: cancelled or damaged, reported as such
            ++summary_.failed;
            try {
                std::rethrow_exception(done.error);
            } catch (const SealError& error) {
                observer_.ReportError(done.path, error);
            }
        }
    }

    // An entry whose name, or a directory on its way, is a file the writer has not committed
    // yet waits for it, so that entries meet the tree exactly as if read one by one.
    void WaitIfPending(const std::vector<std::string>& parts) {
        if (pending_.empty()) return;
        std::string prefix;
        for (const std::string& part : parts) {
            prefix += prefix.empty() ? part : "/" + part;
            if (pending_.contains(prefix)) {
                Settle();
                return;
            }
        }
    }

    bool MayReplace(int parent, const std::string& leaf, const std::string& display) {
        switch (InspectLeaf(parent, leaf).state) {
            case LeafState::kMissing:
                return true;
            case LeafState::kDirectory:
                throw SystemError(EISDIR, display);
            case LeafState::kFile:
                if (observer_.AskOverwrite(display).choice == OverwriteChoice::kOverwrite) {
                    return true;
                }
                ++summary_.skipped;
                return false;
        }
        return false;
    }

    FileJobObserver& observer_;
    std::stop_token stop_;
    EntryStream& entries_;
    OutputDirectory& out_;
    ModernRestoreSummary& summary_;
    std::vector<CreatedDirectory> created_;
    DeferredFlush flush_;
    std::set<std::string> pending_;  // files handed to the writer and not yet reported
    RestoreWriter writer_{flush_};   // last: its thread uses flush_
};

}  // namespace

ModernRestoreSummary ModernRestoreJob::Run(ByteSource& source, const std::string& displayName,
                                           const std::string& outputDirectory,
                                           std::span<const std::string> keys) {
    SealedReader reader(source, keys, displayName);
    if (reader.content() != Content::kFiles) {
        throw SealError(Msg::ModernUnsupported, displayName, "a text, not files");
    }
    OutputDirectory out(outputDirectory);
    out.EnsureExists();  // the key was checked above: nothing is made for a wrong one
    EntryStream entries(reader, stop_, 0, observer_.Pump());
    ModernRestoreSummary summary;
    Restorer restorer(observer_, stop_, entries, out, summary);
    std::string current;  // the entry being read, for a damage message
    try {
        while (const std::optional<EntryMeta> meta = entries.NextEntry()) {
            ++summary.entries;
            current = meta->name;
            const std::string display = out.DisplayPath(Components(meta->name));
            if (!restorer.Restore(*meta, display) || restorer.Cancelled()) {
                summary.outcome = JobOutcome::kCancelled;
                break;
            }
            current.clear();
        }
    } catch (const EntryStreamStopped&) {
        summary.outcome = JobOutcome::kCancelled;
    } catch (const StreamDamaged& damage) {
        restorer.Settle();  // what was read before the damage is reported before it
        summary.damaged = true;
        if (current.empty()) {
            observer_.ReportError(displayName, damage);
        } else {
            observer_.ReportError(current,
                                  SealError(Msg::ModernDamagedEntry, current, damage.what()));
        }
    }
    restorer.Settle();
    restorer.FinishDirectories();
    restorer.FinishFlushing(outputDirectory);
    return summary;
}

}  // namespace sealwise::modern
