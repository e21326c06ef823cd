#pragma once
// What a front end needs of the modern format beyond the byte layout: which format a container
// or a text is in, the keys of shared security, and encrypting to and restoring from container
// files with progress, per-file errors and cancelling through the usual job observer.
// Texts are sealed and opened by SealText and OpenText (modern_text.h).
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/keys.h"
#include "files/jobs/file_job_observer.h"
#include "modern/modern_restore.h"
#include "modern/modern_writer.h"

namespace sealwise::modern {

enum class StoredFormat { kClassic, kModern };

// Modern when the file starts with the modern magic; classic for anything else, including a
// file that cannot be read (the classic reader then reports what is wrong with it).
StoredFormat DetectContainerFormat(const std::string& path);

// Modern when the text holds the modern armour's BEGIN or END line (one of them survives any
// single damaged byte, so damage is reported as such, not as a classic text); else classic.
StoredFormat DetectTextFormat(std::string_view text);

// The keys of shared security in key order, as the modern format takes them: the text being
// typed (passphraseBox) counts as the slot shown. Throws SealError 385 when the count is not 2
// to 10, 386 naming the first empty key. The store is left as it was.
std::vector<std::string> SharedKeysForModern(const SharedKeyStore& store);

// Encrypts inputs (files, directories, links) into a new container at containerPath, written
// beside it and given that name only when the run completed with at least one entry: a failed
// or cancelled run leaves an existing file of that name as it was. Per-file failures are
// reported to the observer and counted in the summary (the run goes on). Throws SealError when
// the run cannot complete (103 writing fails, 428 a file changed while read, 612 no entry
// could be stored).
ModernWriteSummary EncryptModernContainer(const std::vector<std::string>& inputs,
                                          const std::string& containerPath,
                                          std::span<const std::string> keys,
                                          const ModernWriteOptions& options,
                                          FileJobObserver& observer, std::stop_token stop = {});
// The same for inputs stored under names of the caller's choosing (tree_walk.h).
ModernWriteSummary EncryptModernContainer(const std::vector<NamedInput>& inputs,
                                          const std::string& containerPath,
                                          std::span<const std::string> keys,
                                          const ModernWriteOptions& options,
                                          FileJobObserver& observer, std::stop_token stop = {});

// Restores the container at containerPath below outputDirectory (ModernRestoreJob::Run): a
// wrong passphrase (kModernWrongPassphrase), a text or a newer version (kModernUnsupported), a
// damaged header or an unreadable file (103) throw SealError before anything is written;
// damage further on is reported to the observer and set in the summary.
ModernRestoreSummary DecryptModernContainer(const std::string& containerPath,
                                            const std::string& outputDirectory,
                                            std::span<const std::string> keys,
                                            FileJobObserver& observer, std::stop_token stop = {});

}  // namespace sealwise::modern
