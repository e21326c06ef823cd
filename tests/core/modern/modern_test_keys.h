// The passphrase and the cheapest key derivation the modern-format tests seal with: the
// derivation's cost is not what they test.
#pragma once

#include <string>
#include <vector>

#include "modern/modern_format.h"

namespace sealwise::modern {

inline const std::vector<std::string> kTestKeys{"correct horse battery staple"};
inline constexpr KdfCost kTestCost{1, 8192};

}  // namespace sealwise::modern
