#include "container_recipe.h"

#include <algorithm>

#include "crypto/cbc_envelope.h"
#include "files/format/byte_order.h"
#include "files/format/compressed_block.h"
#include "files/format/container_format.h"
#include "files/format/container_index.h"

namespace sealwise::fuzz {
namespace {

using namespace container;

class Reader {
  public:
    explicit Reader(std::span<const uint8_t> in) : in_(in) {}
    bool done() const { return pos_ >= in_.size(); }
    uint8_t U8() { return done() ? 0 : in_[pos_++]; }
    uint32_t U16() { return U8() | (uint32_t{U8()} << 8); }
    uint32_t U32() { return U16() | (U16() << 16); }
    Bytes Take(std::size_t n) {
        n = std::min(n, in_.size() - std::min(pos_, in_.size()));
        Bytes out(in_.begin() + static_cast<long>(pos_), in_.begin() + static_cast<long>(pos_ + n));
        pos_ += n;
        return out;
    }

  private:
    std::span<const uint8_t> in_;
    std::size_t pos_ = 0;
};

class Writer {
  public:
    Writer() : cipher_(RecipeKey()) {}

    void Record(const Bytes& plain, bool chained) {
        cipher_bytes_.resize(CbcEnvelope::PaddedLength(plain.size()));
        cipher_.Encrypt(plain, cipher_bytes_, chained);
        uint8_t header[kRecordHeaderSize];
        PutInt32Le(header, static_cast<uint32_t>(cipher_bytes_.size() - 1));
        out.insert(out.end(), header, header + kRecordHeaderSize);
        out.insert(out.end(), cipher_bytes_.begin(), cipher_bytes_.end());
    }

    // The chunks an honest writer makes for a file, U shifted by delta in every block.
    void File(const Bytes& name, const Bytes& data, int delta) {
        const auto n = static_cast<int64_t>(name.size());
        const auto f = static_cast<int64_t>(data.size());
        const int64_t chunks = ChunkCount(LogicalSize(n, f));
        for (int64_t c = 0; c < chunks; ++c) {
            const auto begin = data.begin() + PieceOffset(c, n);
            const Bytes piece(begin, begin + PieceLength(c, n, f));
            Bytes block = CompressBlock(piece, codec_);
            if (!block.empty() && delta != 0) {
                PutInt32Le(block.data() + 4,
                           static_cast<uint32_t>(GetInt32Le(block.data() + 4) + delta));
            }
            if (c > 0) {
                Record(block, true);
                continue;
            }
            Bytes plain(kHeaderSize, 0x5C);
            plain[kMarkerOffset] =
                f == 0 ? kEmptyFileMarker : static_cast<uint8_t>(block.size() % 32);
            plain[kNameLengthOffset] = static_cast<uint8_t>(n);
            plain.insert(plain.end(), name.begin(), name.end());
            plain.insert(plain.end(), block.begin(), block.end());
            Record(plain, false);
        }
    }

    Bytes out;

  private:
    CbcEnvelope cipher_;
    ZlibCodec codec_;
    Bytes cipher_bytes_;
};

}  // namespace

Bytes RecipeKey() { return Bytes(32, 0x42); }

Recipe BuildContainer(std::span<const uint8_t> input) {
    Reader in(input);
    Writer w;
    Recipe recipe;
    recipe.overwrite = (in.U8() & 1) != 0;
    std::vector<int32_t> sizes;
    for (int e = 0; e < 6 && !in.done(); ++e) {
        const uint8_t kind = in.U8();
        if (kind >= 0xF0) break;
        const Bytes name = in.Take(in.U8());
        Bytes data = in.Take(in.U16());
        const std::size_t start = w.out.size();
        std::vector<Bytes> extra(in.U8() % 3);
        for (auto& plain : extra) plain = in.Take(in.U16());
        const auto delta = static_cast<int8_t>(in.U8());
        switch (kind % 5) {
            case 0:
                w.File(name, data, 0);
                break;
            case 1:
                w.Record(data, false);
                break;
            case 2:
                sizes.push_back(0);
                continue;
            case 3:
                w.File(name, data, delta);
                break;
            case 4: {
                // A file just past one chunk: its first piece is a long run the fuzzer need
                // not spell out, the rest comes from the input.
                Bytes large(static_cast<std::size_t>(kChunkSize - kHeaderSize) - name.size(),
                            static_cast<uint8_t>(delta));
                large.insert(large.end(), data.begin(), data.end());
                w.File(name, large, 0);
                break;
            }
        }
        for (const auto& plain : extra) w.Record(plain, true);
        sizes.push_back(static_cast<int32_t>(w.out.size() - start));
    }
    Bytes& c = w.out;
    std::size_t indexBytes = 0;  // the index at the end, while no other operation touched it
    const auto appendIndex = [&] {
        const Bytes index = EncodeIndex(sizes);
        c.insert(c.end(), index.begin(), index.end());
        indexBytes = index.size();
    };
    appendIndex();
    for (int ops = in.U8() % 8; ops > 0; --ops) {
        const uint8_t op = in.U8();
        const uint32_t value = in.U32();
        switch (op % 4) {
            case 0:
                if (!sizes.empty() && indexBytes > 0) {
                    sizes[value % 8 % sizes.size()] = static_cast<int32_t>(value >> 8);
                    c.resize(c.size() - indexBytes);
                    appendIndex();
                }
                break;
            case 1:
                indexBytes = 0;
                c.resize(c.size() - std::min<std::size_t>(c.size(), value % 64));
                break;
            case 2:
                indexBytes = 0;
                if (!c.empty()) c[value % c.size()] ^= static_cast<uint8_t>(value >> 24);
                break;
            case 3:
                indexBytes = 0;
                c.insert(c.end(), value % 8, 0xFF);
                break;
        }
    }
    recipe.container = std::move(c);
    return recipe;
}

}  // namespace sealwise::fuzz
