#pragma once
// Helpers for the container tests: a scratch directory, file contents, hand-made containers
// built from the format's pieces (not the pipeline), and an observer that records everything.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crypto/cbc_envelope.h"
#include "files/format/byte_order.h"
#include "files/format/compressed_block.h"
#include "files/format/container_format.h"
#include "files/format/container_index.h"
#include "files/jobs/file_job_observer.h"
#include "util/bytes.h"

namespace sealwise::test {

namespace fs = std::filesystem;

class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "sealwise-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const Bytes& data) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Compressible but not trivial: text lines with a counter.
inline Bytes PatternBytes(std::size_t size, uint32_t seed = 1) {
    Bytes out(size);
    uint32_t x = seed;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = (i % 64 == 63) ? '\n' : static_cast<uint8_t>('a' + (x >> 16) % 8);
    }
    return out;
}

inline Bytes Key(uint8_t fill = 0x5A) { return Bytes(32, fill); }

inline std::vector<std::string> FilesBelow(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_directory()) out.push_back(fs::relative(e.path(), dir).string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Builds containers byte by byte from the format's pieces, so that tests can make what no
// honest writer makes.
class ContainerBuilder {
  public:
    explicit ContainerBuilder(const Bytes& key) : cipher_(key) {}

    // One chunk record holding plain, chained (useIV) or not.
    void AppendRecord(const Bytes& plain, bool useIV) {
        Bytes cipher(CbcEnvelope::PaddedLength(plain.size()));
        cipher_.Encrypt(plain, cipher, useIV);
        uint8_t header[4];
        PutInt32Le(header, static_cast<uint32_t>(cipher.size() - 1));
        bytes_.insert(bytes_.end(), header, header + 4);
        bytes_.insert(bytes_.end(), cipher.begin(), cipher.end());
    }

    // Chunk 0 plaintext: filler, marker, name, then block (may be empty).
    static Bytes ChunkZero(const std::string& name, const Bytes& block, uint8_t marker) {
        Bytes plain(34, 0x11);
        plain[32] = marker;
        plain[33] = static_cast<uint8_t>(name.size());
        plain.insert(plain.end(), name.begin(), name.end());
        plain.insert(plain.end(), block.begin(), block.end());
        return plain;
    }

    // A whole entry of a file that fits chunk 0.
    void AddEntry(const std::string& name, const Bytes& data) {
        const std::size_t start = bytes_.size();
        Bytes block = data.empty() ? Bytes() : CompressBlock(data, codec_);
        AppendRecord(ChunkZero(name, block, data.empty() ? 99 : block.size() % 32), false);
        EndEntry(start);
    }

    // An entry whose chunk 0 plaintext is given as is.
    void AddRawEntry(const Bytes& plain) {
        const std::size_t start = bytes_.size();
        AppendRecord(plain, false);
        EndEntry(start);
    }

    void AddEmptyRecord() { sizes_.push_back(0); }

    void EndEntry(std::size_t start) {
        sizes_.push_back(static_cast<int32_t>(bytes_.size() - start));
    }
    std::size_t size() const { return bytes_.size(); }

    Bytes Finish() const {
        Bytes out = bytes_;
        const Bytes index = EncodeIndex(sizes_);
        out.insert(out.end(), index.begin(), index.end());
        return out;
    }

    ZlibCodec& codec() { return codec_; }

  private:
    CbcEnvelope cipher_;
    ZlibCodec codec_;
    Bytes bytes_;
    std::vector<int32_t> sizes_;
};

struct RecordingObserver : FileJobObserver {
    std::vector<int64_t> runs;                              // items of each run started
    std::vector<std::pair<int64_t, int64_t>> itemProgress;  // done, total
    std::vector<ItemResult> finished;
    std::vector<JobOutcome> runOutcomes;
    std::vector<std::pair<std::string, Msg>> errors;  // item, message
    std::vector<Message> notices;
    std::vector<std::string> questions;
    OverwriteAnswer answer;

    void RunStarted(int64_t items) override { runs.push_back(items); }
    void ItemProgress(int64_t done, int64_t total) override {
        itemProgress.emplace_back(done, total);
    }
    void ItemFinished(const ItemResult& result) override { finished.push_back(result); }
    void RunFinished(JobOutcome outcome) override { runOutcomes.push_back(outcome); }
    void ReportError(const std::string& name, const SealError& e) override {
        errors.emplace_back(name, e.stringId());
    }
    void ReportNotice(const std::string&, const Message& n) override { notices.push_back(n); }
    OverwriteAnswer AskOverwrite(const std::string& path) override {
        questions.push_back(path);
        return answer;
    }
};

}  // namespace sealwise::test
