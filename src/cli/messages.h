#pragma once
// The user-facing text of a core failure.
#include <string>

#include "util/errors.h"

namespace sealwise::cli {

std::string MessageFor(const SealError& error);

// The text of a message id with its "%s" filled in.
std::string MessageText(int id, const std::string& argument = {});

}  // namespace sealwise::cli
