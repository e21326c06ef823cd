#include "modern/modern_jobs.h"

#include <fcntl.h>

#include <cerrno>

#include "app/msg.h"
#include "files/io/posix_io.h"
#include "files/io/staged_file.h"
#include "modern/modern_text.h"
#include "modern/sealed_stream.h"

namespace sealwise::modern {
StoredFormat DetectContainerFormat(const std::string& path) {
    return IsModernContainerFile(path) ? StoredFormat::kModern : StoredFormat::kClassic;
}

StoredFormat DetectTextFormat(std::string_view text) {
    return LooksLikeModernArmour(text) ? StoredFormat::kModern : StoredFormat::kClassic;
}

std::vector<std::string> SharedKeysForModern(const SharedKeyStore& store) {
    int count = 0;
    try {
        count = std::stoi(store.countText);
    } catch (const std::exception&) {
        count = 0;
    }
    if (count < 2 || count > kMaxKeys || count > static_cast<int>(store.slots.size())) {
        throw SealError(Msg::KeyCountRefused, store.countText, "shared key count");
    }
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i) {
        const bool shown = i == store.keyShown - 1;
        const std::string& key = shown ? store.passphraseBox : store.slots[i];
        if (key.empty()) {
            throw SealError(Msg::SharedKeyMissing, std::to_string(i + 1), "empty shared key");
        }
        keys.push_back(key);
    }
    return keys;
}

ModernWriteSummary EncryptModernContainer(const std::vector<std::string>& inputs,
                                          const std::string& containerPath,
                                          std::span<const std::string> keys,
                                          const ModernWriteOptions& options,
                                          FileJobObserver& observer, std::stop_token stop) {
    return EncryptModernContainer(NamedAsGiven(inputs), containerPath, keys, options, observer,
                                  std::move(stop));
}

ModernWriteSummary EncryptModernContainer(const std::vector<NamedInput>& inputs,
                                          const std::string& containerPath,
                                          std::span<const std::string> keys,
                                          const ModernWriteOptions& options,
                                          FileJobObserver& observer, std::stop_token stop) {
    StagedFile staged(containerPath);
    FdSink sink(staged.fd(), FdSink::Writeback::kAhead);
    ModernWriteOptions withContainer = options;
    withContainer.containerFd = staged.fd();  // never stored in itself
    ModernWriteJob job(observer, std::move(stop));
    const ModernWriteSummary summary = job.Run(inputs, sink, keys, withContainer);
    if (summary.outcome != JobOutcome::kCompleted) return summary;
    // As in the classic format: a container without one entry replaces nothing.
    if (summary.entries == 0) {
        throw SealError(Msg::NothingStored, containerPath, "no entry stored");
    }
    staged.Commit();
    return summary;
}

ModernRestoreSummary DecryptModernContainer(const std::string& containerPath,
                                            const std::string& outputDirectory,
                                            std::span<const std::string> keys,
                                            FileJobObserver& observer, std::stop_token stop) {
    const UniqueFd fd(::open(containerPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) throw SystemErrorAt(errno, containerPath);
    FdSource source(fd.get());
    ModernRestoreJob job(observer, std::move(stop));
    return job.Run(source, containerPath, outputDirectory, keys);
}

}  // namespace sealwise::modern
