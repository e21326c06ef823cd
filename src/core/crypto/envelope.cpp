// Envelope operations of CRijndael: zero padding to 32-byte blocks, CBC from an all-zero block,
// progress and cancel. The block cipher itself is in rijndael.cpp.
#include <algorithm>
#include <cstring>

#include "crypto/rijndael.h"
#include "crypto/rijndael256_kernels.h"
#include "util/secure_wipe.h"

namespace sealwise {
namespace {

constexpr std::size_t B = CRijndael::kBlockSize;

inline void XorBlock(uint8_t* dst, const uint8_t* src) {
    for (std::size_t i = 0; i < B; ++i) dst[i] ^= src[i];
}

// Padded length: the message rounded up to whole blocks, no extra block when it fits exactly.
inline std::size_t PaddedLength(std::size_t n) { return (n + B - 1) / B * B; }

// Chunked calls yield after blocks 0, 500, 1000, ... of each call.
inline bool IsPumpBlock(std::size_t i) { return i % CRijndael::kPumpInterval == 0; }

// The blocks from start up to and including the next pump block (or the end of the chunk) are
// enciphered in one run.
inline std::size_t RunEnd(std::size_t start, std::size_t blocks) {
    const std::size_t interval = CRijndael::kPumpInterval;
    const std::size_t nextPump = (start + interval - 1) / interval * interval;
    return std::min(nextPump + 1, blocks);
}

}  // namespace

void CRijndael::SetProgress(int32_t max, int32_t min, int32_t pos) {
    if (!progress_) return;
    progress_->SetMax(max);
    progress_->SetMin(min);
    progress_->SetPosition(pos);
}

void CRijndael::Pump() {
    if (pump_) pump_->Pump();
}

void CRijndael::PrepareEnvelopeKey(std::span<const uint8_t> password) {
    uint8_t key[32] = {};
    std::memcpy(key, password.data(), std::min<std::size_t>(password.size(), sizeof key));
    gentables();
    gkey(8, 8, key);
    SecureWipe(key, sizeof key);
}

MaybeBytes CRijndael::EncryptData(const MaybeBytes& bytMessage, const MaybeBytes& bytPassword,
                                  bool notfromMain) {
    if (!bytMessage || !bytPassword) return std::nullopt;
    PrepareEnvelopeKey(*bytPassword);
    const Bytes& msg = *bytMessage;
    Bytes out(PaddedLength(msg.size()), 0);
    std::memcpy(out.data(), msg.data(), msg.size());
    const auto n = static_cast<int32_t>(out.size() / B);
    if (!notfromMain) SetProgress(n + 1, 0, 0);
    bool finished = true;
    for (int32_t i = 0; i < n; ++i) {
        uint8_t* block = out.data() + B * i;
        if (i > 0) XorBlock(block, block - B);
        EncryptBlock(block, block);
        if (!notfromMain && progress_) progress_->SetPosition(i);
        Pump();
        if (doCancel()) {
            // Blocks not processed yet read as zeros, as the caller expects after a cancel.
            std::fill(out.begin() + B * (i + 1), out.end(), 0);
            finished = false;
            break;
        }
    }
    if (finished && !notfromMain && progress_) progress_->SetPosition(n + 1);
    return out;
}

MaybeBytes CRijndael::DecryptData(const MaybeBytes& bytIn, const MaybeBytes& bytPassword) {
    if (!bytIn || !bytPassword) return std::nullopt;
    const Bytes& in = *bytIn;
    if (in.empty() || in.size() % B != 0) return std::nullopt;
    PrepareEnvelopeKey(*bytPassword);
    Bytes out(in.size(), 0);
    const auto n = static_cast<int32_t>(in.size() / B);
    SetProgress(n + 1, 0, 0);
    bool finished = true;
    for (int32_t i = 0; i < n; ++i) {
        uint8_t* block = out.data() + B * i;
        DecryptBlock(in.data() + B * i, block);
        if (i > 0) XorBlock(block, in.data() + B * (i - 1));
        if (progress_) progress_->SetPosition(i);
        Pump();
        if (doCancel()) {
            finished = false;
            break;
        }
    }
    if (finished && progress_) progress_->SetPosition(n + 1);
    return out;
}

bool CRijndael::EncryptPrepareKey(const MaybeBytes& bytKey) {
    if (!bytKey) return false;
    gentables();
    gkey(8, 8, *bytKey);  // throws std::out_of_range for a key under 32 bytes
    return true;
}

void CRijndael::EncryptCbcRun(uint8_t* chain, const uint8_t* in, uint8_t* out,
                              std::size_t blocks) const {
    if (fast_) {
        fast_->encryptCbc(EncKeyBytes(), chain, in, out, blocks);
        return;
    }
    for (std::size_t i = 0; i < blocks; ++i) {
        XorBlock(chain, in + B * i);
        PortableEncryptBlock(chain, chain);
        std::memcpy(out + B * i, chain, B);
    }
}

void CRijndael::DecryptCbcRun(uint8_t* chain, const uint8_t* in, uint8_t* out,
                              std::size_t blocks) const {
    if (fast_) {
        fast_->decryptCbc(DecKeyBytes(), chain, in, out, blocks);
        return;
    }
    uint8_t cipherBlock[B];
    for (std::size_t i = 0; i < blocks; ++i) {
        std::memcpy(cipherBlock, in + B * i, B);  // kept: out may be in
        PortableDecryptBlock(cipherBlock, out + B * i);
        XorBlock(out + B * i, chain);
        std::memcpy(chain, cipherBlock, B);
    }
}

bool CRijndael::EncryptChunk(std::span<const uint8_t> in, bool useIV, Bytes& out) {
    const std::size_t n = PaddedLength(in.size()) / B;
    const std::size_t whole = in.size() / B;  // blocks read straight from the input
    out.resize(n * B);
    if (whole < n) {
        // The zero-padded last block is built in place and enciphered there.
        uint8_t* last = out.data() + B * whole;
        std::memcpy(last, in.data() + B * whole, in.size() - B * whole);
        std::memset(last + (in.size() - B * whole), 0, B * n - in.size());
    }
    uint8_t chain[B] = {};
    if (useIV) std::memcpy(chain, chainBlock_.data(), B);
    for (std::size_t start = 0; start < n;) {
        const std::size_t end = RunEnd(start, n);
        const std::size_t fromInput = std::min(end, whole);
        if (start < fromInput) {
            EncryptCbcRun(chain, in.data() + B * start, out.data() + B * start, fromInput - start);
        }
        const std::size_t padded = std::max(start, fromInput);
        if (padded < end) {
            EncryptCbcRun(chain, out.data() + B * padded, out.data() + B * padded, end - padded);
        }
        if (IsPumpBlock(end - 1)) {
            Pump();
            if (doCancel()) return false;
        }
        start = end;
    }
    if (n > 0) std::memcpy(chainBlock_.data(), chain, B);
    return true;
}

bool CRijndael::DecryptChunk(std::span<const uint8_t> in, bool useIV, Bytes& out) {
    if (in.empty() || in.size() % B != 0) {
        setDoCancel(true);
        return false;
    }
    out.resize(in.size());
    const std::size_t n = in.size() / B;
    uint8_t chain[B] = {};
    if (useIV) std::memcpy(chain, chainBlock_.data(), B);
    for (std::size_t start = 0; start < n;) {
        const std::size_t end = RunEnd(start, n);
        DecryptCbcRun(chain, in.data() + B * start, out.data() + B * start, end - start);
        if (IsPumpBlock(end - 1)) {
            Pump();
            if (doCancel()) return false;
        }
        start = end;
    }
    std::memcpy(chainBlock_.data(), chain, B);
    return true;
}

MaybeBytes CRijndael::EncryptDo(const MaybeBytes& bytMessage, bool useIV) {
    if (!bytMessage) return std::nullopt;
    Bytes out;
    if (!EncryptChunk(*bytMessage, useIV, out)) return std::nullopt;
    return out;
}

MaybeBytes CRijndael::DecryptDo(const MaybeBytes& bytIn, bool useIV) {
    if (!bytIn) return std::nullopt;
    Bytes out;
    if (!DecryptChunk(*bytIn, useIV, out)) return std::nullopt;
    return out;
}

}  // namespace sealwise
