#pragma once
// The modern-format halves of encrypt, decrypt, list, encrypt-text and decrypt-text. The
// commands hand over once they know the format: by --format when encrypting, by the magic or
// the armour lines when reading.
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/job_reporter.h"
#include "cli/modern_options.h"
#include "cli/passphrase_options.h"

namespace sealwise::cli {

// container: the path to write ("-": standard output).
int RunModernEncrypt(const std::vector<std::string>& paths, const std::string& container,
                     bool quiet, const KeyOptions& keys, const FormatOptions& format, Io& io);
// container: the path to read ("-": standard input).
int RunModernDecrypt(const std::string& container, const std::string& outputDirectory,
                     OverwritePolicy policy, bool quiet, const KeyOptions& keys, Io& io);
// json: a JSON array as `list --json` prints for the classic format, with the modern fields.
int RunModernList(const std::string& container, const KeyOptions& keys, bool json, Io& io);
int RunModernEncryptText(const KeyOptions& keys, const FormatOptions& format, Io& io);
int RunModernDecryptText(const std::string& armour, const KeyOptions& keys, Io& io);

// Whether a container argument names the modern format: "-" (only it streams) or a file that
// starts with its magic.
bool IsModernContainerArgument(const std::string& container);

}  // namespace sealwise::cli
