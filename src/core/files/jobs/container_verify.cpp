#include "files/jobs/container_verify.h"

#include "app/msg.h"
#include "crypto/cbc_envelope.h"
#include "files/format/container_format.h"
#include "files/format/container_reader.h"
#include "files/format/decrypt_record.h"
#include "files/format/entry_name.h"
#include "util/secure_wipe.h"

namespace sealwise {

using namespace container;

namespace {

// What the restore accepts of a chunk's piece: inflated, no longer than its slot, and a full
// slot for every chunk but the last.
bool PieceFits(const DecryptRecord& record, int64_t nameBytes) {
    if (record.status != BlockStatus::kInflated) return false;
    const int64_t fullPiece = PieceLength(record.chunk, nameBytes, kMaxSize);
    const auto length = static_cast<int64_t>(record.piece.size());
    return length <= fullPiece && (record.last || length == fullPiece);
}

}  // namespace

std::vector<VerifiedEntry> VerifyClassicContainer(const std::string& path,
                                                  std::span<const uint8_t> key) {
    const ContainerReader reader(path);
    CbcEnvelope cipher(key);
    ZlibCodec codec;
    DecryptRecordReader records(reader);
    DecryptRecord record;
    std::vector<VerifiedEntry> entries;
    bool keyVerified = false;
    int64_t nameBytes = 0;
    while (records.Next(record)) {
        if (record.failure) std::rethrow_exception(record.failure);
        if (record.chunk == 0) {
            entries.push_back({static_cast<int>(record.entry) + 1, {}, 0, false});
        }
        VerifiedEntry& entry = entries.back();
        if (entry.damaged) continue;  // the reader skips what is left of it
        OpenRecord(record, cipher, codec);
        bool sound = record.deciphered;
        if (sound && record.chunk == 0) {
            if (!record.chunkZero) {
                if (!keyVerified) throw SealError(Msg::WrongPassword, {}, "wrong key");
                sound = false;
            } else {
                keyVerified = true;
                entry.name = DecodeEntryName(record.chunkZero->name).text;
                nameBytes = static_cast<int64_t>(record.chunkZero->name.size());
                sound = record.chunkZero->emptyFile || PieceFits(record, nameBytes);
            }
        } else if (sound) {
            sound = PieceFits(record, nameBytes);
        }
        const bool noData = record.chunk == 0 && record.chunkZero && record.chunkZero->emptyFile;
        const int64_t added = noData ? 0 : static_cast<int64_t>(record.piece.size());
        if (sound && entry.size + added > kMaxSize) sound = false;
        if (!sound) {
            entry.damaged = true;
            records.Abandon(record.entry);
            continue;
        }
        entry.size += added;
    }
    return entries;
}

}  // namespace sealwise
