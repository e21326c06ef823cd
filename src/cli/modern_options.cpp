#include "cli/modern_options.h"

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "cli/passphrase_options.h"
#include "crypto/keys.h"
#include "passphrase/guessability.h"
#include "text/text_crypt.h"
#include "util/errors.h"
#include "util/secure_wipe.h"

namespace sealwise::cli {
namespace {

// The keys of a shared-key file in order, read as the classic format reads them.
std::vector<std::string> SharedKeysOf(const std::string& path) {
    SharedKeyStore store;
    struct ClearStore {
        SharedKeyStore& store;
        ~ClearStore() { store.Clear(); }
    } clearStore{store};
    LoadSharedKeysOrWipe(path, store);
    std::vector<std::string> keys;
    SecretsGuard guard(keys);
    const int count = std::stoi(store.countText);
    for (int i = 0; i < count; ++i) {
        if (store.slots[i].empty()) {
            throw SealError(Msg::SharedKeyMissing, std::to_string(i + 1), "empty shared key");
        }
        keys.push_back(store.slots[i]);
    }
    std::vector<std::string> result = std::move(keys);
    keys.clear();
    return result;
}

}  // namespace

SecretsGuard::~SecretsGuard() {
    for (std::string& secret : secrets_) SecureWipe(secret);
}

void AddFormatOptions(CLI::App& app, FormatOptions& options, bool withCompression) {
    app.add_option("--format", options.format,
                   "classic (readable by every program of the format; the default) or modern "
                   "(tamper-proof, slow to guess, no size limit; readable only by Sealwise)")
        ->check(CLI::IsMember({"classic", "modern"}))
        ->option_text("FORMAT");
    if (withCompression) {
        app.add_option("--level", options.level, "modern format: zstd level, 1 to 19 (default 3)")
            ->check(CLI::Range(1, 19))
            ->option_text("N");
    }
    app.add_option("--kdf-memory", options.kdfMemoryMiB,
                   "modern format: memory of the key derivation in MiB (default " +
                       std::to_string(modern::kDefaultKdfCost.memory >> 20) +
                       "; more is slower to guess)")
        ->option_text("MIB");
    app.add_option("--kdf-ops", options.kdfOps,
                   "modern format: passes of the key derivation (default " +
                       std::to_string(modern::kDefaultKdfCost.ops) + ")")
        ->option_text("N");
}

int CheckFormatOptions(const FormatOptions& options, Io& io) {
    // Anything a reader accepts may be written; less than the default is the user's choice
    // (and the tests'), so it is warned about, never refused.
    const uint64_t minMemory = 1, maxMemory = modern::kMaxKdfMemory >> 20;
    if (options.kdfMemoryMiB < minMemory || options.kdfMemoryMiB > maxMemory) {
        PrintError(io, "--kdf-memory must be from " + std::to_string(minMemory) + " to " +
                           std::to_string(maxMemory) + " MiB");
        return kUsage;
    }
    if (options.kdfOps < modern::kMinKdfOps || options.kdfOps > modern::kMaxKdfOps) {
        PrintError(io, "--kdf-ops must be from " + std::to_string(modern::kMinKdfOps) + " to " +
                           std::to_string(modern::kMaxKdfOps));
        return kUsage;
    }
    const modern::KdfCost chosen = options.cost(), standard = modern::kDefaultKdfCost;
    if (options.modern() && (chosen.memory < standard.memory || chosen.ops < standard.ops)) {
        io.err << "sealwise-cli: warning: "
               << GetResText(Msg::WeakKdfCostWarning, std::to_string(standard.memory >> 20),
                             std::to_string(standard.ops))
               << "\n";
    }
    return -1;
}

std::vector<std::string> ObtainSecrets(const KeyOptions& options, PassphraseUse use) {
    if (!options.sharedKeyFile.empty()) return SharedKeysOf(options.sharedKeyFile);
    std::vector<std::string> secrets{ObtainPassphrase(options, use)};
    if (secrets.front().empty())
        throw SealError(Msg::CheckNamesAndPassword, {}, "empty passphrase");
    return secrets;
}

void WarnIfGuessable(const std::vector<std::string>& secrets, Io& io) {
    // All shared keys are needed: their guesses multiply.
    Guessability total;
    for (const std::string& secret : secrets) {
        total.log10Guesses += EstimateGuesses(secret).log10Guesses;
    }
    if (total.weak()) {
        io.err << "sealwise-cli: warning: "
               << GetResText(Msg::WeakPassphraseWarning, FormatGuesses(total)) << "\n";
    }
}

Bytes ClassicKeyOf(const std::vector<std::string>& secrets) {
    if (secrets.size() == 1) return TextKeyFromPassphrase(secrets.front());
    SharedKeyStore store;
    for (std::size_t i = 0; i < secrets.size(); ++i) store.slots[i] = secrets[i];
    store.countText = std::to_string(secrets.size());
    store.keyShown = 1;
    store.passphraseBox = store.slots[0];
    return TextKeyFromSharedKeys(store);  // clears the store
}

Bytes ObtainKeyWithWarning(const KeyOptions& options, Io& io) {
    std::vector<std::string> secrets = ObtainSecrets(options, PassphraseUse::kEncrypt);
    SecretsGuard guard(secrets);
    WarnIfGuessable(secrets, io);
    return ClassicKeyOf(secrets);
}

}  // namespace sealwise::cli
