// The whole restore of a container: index, chunk records, deciphering, chunk 0, names,
// compressed blocks, output files. The input is a recipe (container_recipe.h) enciphered with
// the fixed key, so the fuzzer reaches the code behind the decryption. Property: whatever the
// container holds, nothing is ever created outside the output directory, and every file in it
// is one the job reported as restored.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "container_recipe.h"
#include "files/jobs/decrypt_container_job.h"

using namespace sealwise;
namespace fs = std::filesystem;

namespace {

struct QuietObserver : FileJobObserver {
    bool overwrite = false;
    std::set<std::string> restored;
    void ItemRestored(const std::string& path, int64_t) override { restored.insert(path); }
    void ReportError(const std::string&, const SealError&) override {}
    OverwriteAnswer AskOverwrite(const std::string&) override {
        return {overwrite ? OverwriteChoice::kOverwrite : OverwriteChoice::kSkip, {}};
    }
};

// A private directory on a memory file system when there is one: restoring syncs every file.
const fs::path& Scratch() {
    static const fs::path dir = [] {
        const fs::path base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        std::string pattern = (base / "sealwise-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::atexit([] { fs::remove_all(Scratch()); });
        return fs::path(pattern);
    }();
    return dir;
}

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const fuzz::Recipe recipe = fuzz::BuildContainer(std::span(data, size));
    const fs::path in = Scratch() / "in", out = Scratch() / "out";
    fs::create_directories(in);
    fs::create_directories(out);
    {
        std::ofstream file(in / "c.vesk", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(recipe.container.data()),
                   static_cast<std::streamsize>(recipe.container.size()));
    }
    QuietObserver observer;
    observer.overwrite = recipe.overwrite;
    try {
        DecryptContainerJob job(observer);
        job.Run(in / "c.vesk", out, fuzz::RecipeKey());
    } catch (const SealError&) {
        // Refusing the whole container is a valid answer.
    }
    if (Names(Scratch()) != std::set<std::string>{"in", "out"}) std::abort();
    if (Names(in) != std::set<std::string>{"c.vesk"}) std::abort();
    // Every file is one the job reported as restored: no temporary file was left (an entry
    // may itself be named like one), and no link was made.
    for (const auto& e : fs::recursive_directory_iterator(out)) {
        if (e.is_symlink()) std::abort();
        if (!e.is_directory() && !observer.restored.contains(e.path().string())) std::abort();
    }
    fs::remove_all(out);
    return 0;
}
