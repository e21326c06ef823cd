#pragma once
// Choosing among candidate keys for a container (crypto/keys.h: our key, then the key other
// programs make with "?" for characters outside Windows-1252). Nothing in a container checks
// the key, but the first chunk of an entry deciphered with a wrong key almost never looks like
// one: the first key under which some entry's first chunk passes the chunk-0 checks is right.
#include <span>
#include <string>
#include <vector>

#include "util/bytes.h"

namespace sealwise {

class ContainerReader;

// Index into keys (each at least 32 bytes, best first) of the key to decrypt with: entries are
// tried in index order, each under every key in turn, and the first pass decides. 0 when no
// entry passes under any key (the decryption then reports the wrong passphrase) or when there
// is only one key.
std::size_t ChooseContainerKey(const ContainerReader& reader, std::span<const Bytes> keys);

// The same for a container file; with a single key the file is not opened. Throws SealError
// as ContainerReader does.
const Bytes& ChooseContainerKey(const std::string& path, const std::vector<Bytes>& keys);

}  // namespace sealwise
