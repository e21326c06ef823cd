#pragma once
// One file of an encryption run and the name it gets in the container.
#include <string>

namespace sealwise {

struct EncryptItem {
    std::string path;          // the file on this system
    std::string relativeName;  // its relativeNames value: "\" (on its own) or the entry name
};

}  // namespace sealwise
