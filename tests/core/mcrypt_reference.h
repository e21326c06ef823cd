#pragma once
// libmcrypt's rijndael-256: a separately written Rijndael with a 256-bit block, used to check
// ours block by block.
#include <gtest/gtest.h>
#include <mcrypt.h>

#include "util/bytes.h"

namespace sealwise::test {

inline Bytes McryptEcb(const Bytes& key, Bytes block, bool decrypt) {
    MCRYPT td = mcrypt_module_open(const_cast<char*>("rijndael-256"), nullptr,
                                   const_cast<char*>("ecb"), nullptr);
    EXPECT_TRUE(td != MCRYPT_FAILED);
    Bytes k = key;
    EXPECT_EQ(mcrypt_generic_init(td, k.data(), static_cast<int>(k.size()), nullptr), 0);
    if (decrypt) {
        mdecrypt_generic(td, block.data(), static_cast<int>(block.size()));
    } else {
        mcrypt_generic(td, block.data(), static_cast<int>(block.size()));
    }
    mcrypt_generic_deinit(td);
    mcrypt_module_close(td);
    return block;
}

}  // namespace sealwise::test
