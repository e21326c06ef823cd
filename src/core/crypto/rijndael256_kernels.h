#pragma once
// Hardware kernels of Rijndael with 256-bit block and key (14 rounds), used by Rijndael256 in
// place of its table-driven rounds when the CPU has the instructions.
//
// roundKeys is the schedule of Rijndael256::SetKey(key): 15 round keys of 32 bytes in the
// cipher's byte order (the little-endian column words), the encryption keys and the
// equivalent inverse cipher's keys for decryption.
#include <cstddef>
#include <cstdint>

#include "crypto/cipher_path.h"

namespace sealwise::rijndael256 {

struct Kernels {
    void (*encryptBlock)(const uint8_t* roundKeys, const uint8_t* in, uint8_t* out);
    void (*decryptBlock)(const uint8_t* roundKeys, const uint8_t* in, uint8_t* out);
    // CBC over whole blocks. chain holds the previous ciphertext block (32 bytes) on entry and
    // the last ciphertext block on return. in and out may be the same buffer.
    void (*encryptCbc)(const uint8_t* roundKeys, uint8_t* chain, const uint8_t* in, uint8_t* out,
                       std::size_t blocks);
    void (*decryptCbc)(const uint8_t* roundKeys, uint8_t* chain, const uint8_t* in, uint8_t* out,
                       std::size_t blocks);
};

// nullptr where the kernels are not built (not an x86 target). Callers check the CPU first.
const Kernels* AesNiKernels();  // AES-NI and SSE4.1 on the two 16-byte halves
const Kernels* VaesKernels();   // VAES with AVX-512 VBMI byte permutes on one 32-byte register

// The kernels of a hardware path; nullptr for the portable one.
const Kernels* KernelsFor(CipherPath path);

}  // namespace sealwise::rijndael256
