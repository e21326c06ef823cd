#include "cli/passphrase_options.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/secret_file.h"
#include "cli/terminal_prompt.h"
#include "cli/text_input.h"
#include "crypto/keys.h"
#include "text/text_crypt.h"
#include "util/errors.h"
#include "util/secure_wipe.h"
#include "util/text_codec.h"

namespace sealwise::cli {
namespace {

void DropLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

// Editors on some systems start a UTF-8 file with a byte-order mark; it is no part of a key.
void DropByteOrderMark(std::string& line) {
    if (!line.starts_with(kUtf8Marker)) return;
    const std::size_t n = kUtf8Marker.size();
    std::memmove(line.data(), line.data() + n, line.size() - n);
    SecureWipe(line.data() + line.size() - n, n);  // the moved secret's old tail
    line.resize(line.size() - n);
}

void RequireUtf8(const std::string& secret) {
    if (!IsValidUtf8(secret)) throw SealError(Msg::PassphraseNotUtf8, {}, "passphrase not UTF-8");
}

std::string FirstLineOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw SealError(Msg::CannotReadFile, path, "cannot open passphrase file");
    std::string line;
    line.reserve(1024);
    if (!std::getline(file, line) && file.bad()) {
        SecureWipe(line);
        throw SealError(Msg::CannotReadFile, path, "cannot read passphrase file");
    }
    DropLineEnd(line);
    DropByteOrderMark(line);
    return line;
}

// The first line read from an open descriptor, one byte at a time so that nothing after the
// line is taken from a descriptor that carries more.
std::string FirstLineOfDescriptor(int fd) {
    std::string line;
    line.reserve(1024);
    for (;;) {
        char c;
        const ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SecureWipe(line);
            throw SealError(Msg::PassphraseFdUnreadable, std::to_string(fd), "read failed");
        }
        if (n == 0 || c == '\n') break;
        AppendSecret(line, c);
    }
    DropLineEnd(line);
    return line;
}

std::string Prompt(Msg promptId) {
    std::optional<std::string> typed = PromptHidden(GetResText(promptId) + " ");
    if (!typed) throw SealError(Msg::NoPassphrase, {}, "no terminal for the prompt");
    return std::move(*typed);
}

std::string PromptPassphrase(PassphraseUse use) {
    std::string first = Prompt(Msg::PassphrasePrompt);
    if (use == PassphraseUse::kDecrypt || first.empty()) return first;
    std::string second = Prompt(Msg::RepeatPassphrasePrompt);
    WipeOnExit<std::string> wipeSecond(second);
    if (first != second) {
        SecureWipe(first);
        throw SealError(Msg::PassphrasesDiffer, {}, "passphrase entries differ");
    }
    return first;
}

// The shared keys of the file in a key store, as the key entry would hold them.
void LoadSharedKeys(const std::string& path, SharedKeyStore& store) {
    WarnIfReadableByOthers(path, std::cerr);
    std::ifstream file(path, std::ios::binary);
    if (!file) throw SealError(Msg::CannotReadFile, path, "cannot open shared-key file");
    int count = 0;
    std::string line;
    WipeOnExit<std::string> wipeLine(line);
    while (std::getline(file, line)) {
        if (count == kMaxSharedKeys) {
            throw SealError(Msg::KeyFileCount, {}, "more than 10 shared keys");
        }
        DropLineEnd(line);
        if (count == 0) DropByteOrderMark(line);
        RequireUtf8(line);
        store.slots[count++] = line;
        SecureWipe(line);
    }
    if (file.bad()) throw SealError(Msg::CannotReadFile, path, "cannot read shared-key file");
    if (count < 2) throw SealError(Msg::KeyFileCount, {}, "fewer than 2 shared keys");
    store.countText = std::to_string(count);
    store.keyShown = 1;
    store.passphraseBox = store.slots[0];
}

}  // namespace

void AddPassphraseOptions(CLI::App& app, KeyOptions& options) {
    auto* file = app.add_option("--passphrase-file", options.passphraseFile,
                                "read the passphrase from the first line of FILE");
    auto* fd = app.add_option("--passphrase-fd", options.passphraseFd,
                              "read the passphrase from the first line of the open file "
                              "descriptor N (for example 3 with 3<FILE, or a pipe)");
    auto* env = app.add_option("--passphrase-env", options.passphraseEnv,
                               "read the passphrase from the environment variable VAR");
    file->option_text("FILE")->excludes(env)->excludes(fd);
    fd->option_text("N")->excludes(env)->check(CLI::NonNegativeNumber);
    env->option_text("VAR");
}

void AddSharedKeyOption(CLI::App& app, KeyOptions& options) {
    app.add_option("--shared-key-file", options.sharedKeyFile,
                   "use shared security: 2 to 10 keys in FILE, one per line in key order")
        ->option_text("FILE");
}

std::string ObtainPassphrase(const KeyOptions& options, PassphraseUse use) {
    std::string passphrase;
    if (!options.passphraseFile.empty()) {
        WarnIfReadableByOthers(options.passphraseFile, std::cerr);
        passphrase = FirstLineOf(options.passphraseFile);
    } else if (options.passphraseFd >= 0) {
        passphrase = FirstLineOfDescriptor(options.passphraseFd);
    } else if (!options.passphraseEnv.empty()) {
        const char* value = std::getenv(options.passphraseEnv.c_str());
        if (value == nullptr) {
            throw SealError(Msg::VariableUnset, options.passphraseEnv, "variable not set");
        }
        passphrase = value;
    } else {
        passphrase = PromptPassphrase(use);
    }
    try {
        RequireUtf8(passphrase);
    } catch (...) {
        SecureWipe(passphrase);
        throw;
    }
    return passphrase;
}

// Loads the keys of a shared-key file; a file that cannot be used leaves no key behind.
void LoadSharedKeysOrWipe(const std::string& path, SharedKeyStore& store) {
    try {
        LoadSharedKeys(path, store);
    } catch (...) {
        store.Clear();
        throw;
    }
}

Bytes ObtainKey(const KeyOptions& options, PassphraseUse use) {
    if (!options.sharedKeyFile.empty()) {
        SharedKeyStore store;
        LoadSharedKeysOrWipe(options.sharedKeyFile, store);
        return TextKeyFromSharedKeys(store);  // clears the store
    }
    std::string passphrase = ObtainPassphrase(options, use);
    WipeOnExit<std::string> wipePassphrase(passphrase);
    return TextKeyFromPassphrase(passphrase);
}

std::vector<Bytes> ObtainCandidateKeys(const KeyOptions& options) {
    if (!options.sharedKeyFile.empty()) {
        SharedKeyStore store;
        LoadSharedKeysOrWipe(options.sharedKeyFile, store);
        return TextKeysFromSharedKeys(store);  // clears the store
    }
    std::string passphrase = ObtainPassphrase(options, PassphraseUse::kDecrypt);
    WipeOnExit<std::string> wipePassphrase(passphrase);
    return TextKeysFromPassphrase(passphrase);
}

}  // namespace sealwise::cli
