#pragma once
// Rijndael with variable block and key length (nb, nk in 32-bit words: 4, 6 or 8), table-driven,
// plus the cipher envelope operations built on it: zero padding to whole blocks and CBC from an
// all-zero block, in one shot or chunk by chunk with the chain carried between calls.
// With a 256-bit block and key the rounds run on AES instructions when the CPU has them
// (crypto/cipher_path.h); the results are the same bytes either way.
#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "app/progress.h"
#include "crypto/cipher_path.h"
#include "util/bytes.h"

namespace sealwise {

namespace rijndael256 {
struct Kernels;
}

class CRijndael {
  public:
    static constexpr std::size_t kBlockSize = 32;

    CRijndael();
    ~CRijndael();
    CRijndael(const CRijndael&) = delete;
    CRijndael& operator=(const CRijndael&) = delete;

    // Cancel request of the running job. Set from any thread; never reset by the class.
    bool doCancel() const noexcept { return doCancel_.load(std::memory_order_relaxed); }
    void setDoCancel(bool value) noexcept { doCancel_.store(value, std::memory_order_relaxed); }

    // Where the one-shot operations report progress and yield to the user interface.
    void setProgressSink(ProgressSink* sink) noexcept { progress_ = sink; }
    void setPumpHook(PumpHook* pump) noexcept { pump_ = pump; }

    // Block cipher.
    void gentables();
    // Throws std::out_of_range for nb or nk other than 4, 6, 8 or a key shorter than 4*nk bytes.
    // Picks the cipher path (ActiveCipherPath() for nb = nk = 8, else portable).
    void gkey(int nb, int nk, std::span<const uint8_t> key);
    CipherPath cipherPath() const noexcept { return path_; }
    // Transform one block of 4*nb bytes in place; throws std::out_of_range when buff is short.
    void Encrypt(std::span<uint8_t> buff) const;
    void Decrypt(std::span<uint8_t> buff) const;

    // One-shot envelope. std::nullopt stands for an absent array and is returned for one.
    MaybeBytes EncryptData(const MaybeBytes& bytMessage, const MaybeBytes& bytPassword,
                           bool notfromMain);
    MaybeBytes DecryptData(const MaybeBytes& bytIn, const MaybeBytes& bytPassword);

    // Chunked envelope: prepare the key once, then one call per chunk.
    bool EncryptPrepareKey(const MaybeBytes& bytKey);
    MaybeBytes EncryptDo(const MaybeBytes& bytMessage, bool useIV);
    MaybeBytes DecryptDo(const MaybeBytes& bytIn, bool useIV);

    // The same chunk operations on views, writing into a caller-owned buffer (resized to the
    // padded length). Return false where the forms above return std::nullopt.
    bool EncryptChunk(std::span<const uint8_t> in, bool useIV, Bytes& out);
    bool DecryptChunk(std::span<const uint8_t> in, bool useIV, Bytes& out);

    const std::array<uint8_t, kBlockSize>& ChainBlock() const noexcept { return chainBlock_; }

    // Chunked calls yield to the user interface every this many blocks.
    static constexpr std::size_t kPumpInterval = 500;

  private:
    void PrepareEnvelopeKey(std::span<const uint8_t> password);
    void SetProgress(int32_t max, int32_t min, int32_t pos);
    void Pump();
    void EncryptBlock(const uint8_t* in, uint8_t* out) const;
    void DecryptBlock(const uint8_t* in, uint8_t* out) const;
    const uint8_t* EncKeyBytes() const;
    const uint8_t* DecKeyBytes() const;
    void PortableEncryptBlock(const uint8_t* in, uint8_t* out) const;
    void PortableDecryptBlock(const uint8_t* in, uint8_t* out) const;
    // CBC over whole blocks between two pump points; chain is the previous ciphertext block on
    // entry and the last one on return. in and out may be the same buffer.
    void EncryptCbcRun(uint8_t* chain, const uint8_t* in, uint8_t* out, std::size_t blocks) const;
    void DecryptCbcRun(uint8_t* chain, const uint8_t* in, uint8_t* out, std::size_t blocks) const;

    std::array<uint8_t, 256> PowTable{}, LogTable{}, SBox{}, InvSBox{};
    std::array<uint32_t, 256> FwdTable{}, InvTable{};
    std::array<uint32_t, 30> RoundConst{};
    const std::array<uint8_t, 4> InvMixCoeff{0x0B, 0x0D, 0x09, 0x0E};
    int nb_ = 0, nk_ = 0, Nr_ = 0;
    std::array<uint8_t, 24> FwdShift{}, InvShift{};
    std::array<uint32_t, 120> EncKey{}, DecKey{};
    bool tablesReady_ = false;
    CipherPath path_ = CipherPath::kPortable;
    const rijndael256::Kernels* fast_ = nullptr;  // set for the hardware paths only

    std::atomic<bool> doCancel_{false};
    std::array<uint8_t, kBlockSize> chainBlock_{};
    ProgressSink* progress_ = nullptr;
    PumpHook* pump_ = nullptr;
};

}  // namespace sealwise
