#pragma once
// The names the files of an encryption run get in the container, checked before anything is
// written: each must come back as the same name when the container is restored, and no two
// files may share one.
#include <variant>
#include <vector>

#include "files/jobs/encrypt_item.h"
#include "util/bytes.h"
#include "util/errors.h"

namespace sealwise {

// The stored name of each item, or the failure that keeps it out of the container (425 too
// long, 611 not storable: a backslash or control character in a name, bytes that are not
// UTF-8). Throws SealError 610 naming both paths and the name when two items share a stored
// name: restoring would lose one of them.
std::vector<std::variant<Bytes, SealError>> StoredNames(const std::vector<EncryptItem>& items);

// True when stored comes back from a container as the name of item: the path's base name (cut
// to whole characters) for a file added on its own, else the path's last components.
bool NameComesBack(const EncryptItem& item, const Bytes& stored);

}  // namespace sealwise
