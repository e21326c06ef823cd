#include "modern/modern_restore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "files/io/deferred_flush.h"
#include "files/io/output_directory.h"
#include "files/jobs/message_ids.h"
#include "modern/entry_stream.h"
#include "modern/modern_messages.h"
#include "modern/restore_file.h"

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

    // One entry; false when the run was cancelled inside it.
    bool Restore(const EntryMeta& meta, const std::string& display) {
        const std::vector<std::string> parts = Components(meta.name);
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
                const timespec times[2] = {
                    {0, UTIME_NOW},
                    {it->meta.mtimeSeconds, static_cast<long>(it->meta.mtimeNanoseconds)}};
                if (::futimens(dir.get(), times) != 0 ||
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
                throw SealError(msg::kPathNotDirectory, display, "a file where a directory goes");
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
        const std::string temp = TemporaryName();
        if (::symlinkat(meta.linkTarget.c_str(), parent, temp.c_str()) != 0) {
            throw SystemError(errno, "symlink");
        }
        const timespec times[2] = {{0, UTIME_NOW},
                                   {meta.mtimeSeconds, static_cast<long>(meta.mtimeNanoseconds)}};
        ::utimensat(parent, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
        if (::renameat(parent, temp.c_str(), parent, leaf.c_str()) != 0) {
            const int err = errno;
            ::unlinkat(parent, temp.c_str(), 0);
            throw SystemError(err, "rename link");
        }
        flush_.AddDirectory(parentDir);
        ++summary_.restored;
        observer_.ItemRestored(display, 0);
    }

    bool WriteFile(const SharedFd& parentDir, const std::string& leaf, const EntryMeta& meta,
                   const std::string& display) {
        const int parent = parentDir->get();
        std::unique_ptr<RestoreFile> file;
        std::string path = display;
        bool replaces = false;
        switch (InspectLeaf(parent, leaf).state) {
            case LeafState::kDirectory:
                throw SystemError(EISDIR, display);
            case LeafState::kMissing:
                file = std::make_unique<RestoreFile>(parentDir, leaf);
                break;
            case LeafState::kFile: {
                const OverwriteAnswer answer = observer_.AskOverwrite(display);
                if (answer.choice == OverwriteChoice::kOverwrite) {
                    file = std::make_unique<RestoreFile>(parentDir, leaf);
                    replaces = true;
                } else if (answer.choice == OverwriteChoice::kRename && !answer.newPath.empty()) {
                    file = OpenElsewhere(answer.newPath);
                    path = answer.newPath;
                } else {
                    ++summary_.skipped;
                    entries_.SkipData();
                    return true;
                }
            }
        }
        observer_.ItemStarted(display, -1);
        std::span<const uint8_t> piece;
        while (entries_.NextPiece(piece)) {
            file->Append(piece);
            observer_.BytesDone(static_cast<int64_t>(piece.size()));
            if (Cancelled()) return false;
        }
        // A file that replaces another is on disk before it takes its place; new ones are
        // flushed while the restore goes on.
        file->Commit(meta, replaces ? nullptr : &flush_);
        ++summary_.restored;
        observer_.ItemRestored(path, static_cast<int64_t>(meta.size));
        return true;
    }

    static std::unique_ptr<RestoreFile> OpenElsewhere(const std::string& path) {
        const auto slash = path.find_last_of('/');
        const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        auto fd = std::make_shared<const UniqueFd>(
            ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd->valid()) throw SystemErrorAt(errno, dir);
        return std::make_unique<RestoreFile>(std::move(fd), path.substr(slash + 1));
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
};

}  // namespace

ModernRestoreSummary ModernRestoreJob::Run(ByteSource& source, const std::string& displayName,
                                           const std::string& outputDirectory,
                                           std::span<const std::string> keys) {
    SealedReader reader(source, keys, displayName);
    if (reader.content() != Content::kFiles) {
        throw SealError(msg::kModernUnsupported, displayName, "a text, not files");
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
        summary.damaged = true;
        if (current.empty()) {
            observer_.ReportError(displayName, damage);
        } else {
            observer_.ReportError(current,
                                  SealError(msg::kModernDamagedEntry, current, damage.what()));
        }
    }
    restorer.FinishDirectories();
    restorer.FinishFlushing(outputDirectory);
    return summary;
}

}  // namespace sealwise::modern
