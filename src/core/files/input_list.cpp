#include "files/input_list.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "files/entry_name.h"
#include "files/file_checks.h"
#include "files/file_page_paths.h"
#include "util/secure_random.h"
#include "util/text_codec.h"

namespace sealwise {
namespace fs = std::filesystem;

namespace {

// Key of relativeNames: the path with letter case folded for the letters of Windows-1252.
std::string FoldCase(std::string_view path) {
    std::u32string cps = Utf8ToCodePoints(path);
    for (char32_t& cp : cps) {
        if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) {
            cp += 0x20;
        } else if (cp == 0x152 || cp == 0x160 || cp == 0x17D) {
            cp += 1;
        } else if (cp == 0x178) {
            cp = 0xFF;
        }
    }
    return CodePointsToUtf8(cps);
}

std::string CollapseSlashes(std::string path) {
    path.erase(
        std::unique(path.begin(), path.end(), [](char a, char b) { return a == '/' && b == '/'; }),
        path.end());
    return path;
}

}  // namespace

std::string RandomNamePart() {
    std::string part;
    for (int i = 0; i < 8; ++i) {
        const uint32_t k = SecureRandomBelow(36);
        part += static_cast<char>(k <= 25 ? 'a' + k : '0' + (k - 26));
    }
    return part;
}

void InputList::AddFileToList(std::string path, std::string_view base) {
    path = CollapseSlashes(std::move(path));
    const std::string key = FoldCase(path);
    if (relativeNames_.count(key) != 0) {
        duplicateSkipped = true;
        return;
    }
    std::string value;
    if (base == kOwnFileMarker) {
        value = kOwnFileMarker;
    } else {
        value = path.substr(std::min(base.size(), path.size()));
        std::replace(value.begin(), value.end(), '/', '\\');
    }
    relativeNames_.emplace(key, std::move(value));
    paths_.push_back(path);
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (containerName.empty() && dot != std::string::npos &&
        (slash == std::string::npos || dot > slash)) {
        containerName = path.substr(0, dot + 1) + "vesk";
    }
}

std::string ExpansionBase(const std::string& directory) {
    std::string base = directory;
    while (!base.empty() && base.back() == '/') base.pop_back();
    const auto slash = base.find_last_of('/');
    // Without a "/" the directory is relative to the working directory, its parent.
    return slash == std::string::npos ? std::string() : base.substr(0, slash);
}

void InputList::WalkDirectory(const std::string& directory) {
    Walk(directory, ExpansionBase(directory));
}

void InputList::Walk(const std::string& directory, const std::string& base) {
    if (CancelRequested()) return;
    std::error_code ec;
    fs::directory_iterator it(directory, ec);
    if (ec) return;  // a directory that cannot be read adds nothing
    std::set<std::string> files, subdirectories;
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        std::error_code statusError;
        const fs::file_status own = entry.symlink_status(statusError);
        if (statusError) continue;
        if (fs::is_directory(own)) {
            subdirectories.insert(name);
        } else if (fs::is_regular_file(entry.status(statusError)) && !statusError) {
            files.insert(name);  // a regular file or a link to one
        }
    }
    for (const std::string& name : files) {
        AddFileToList(directory + name, base);
        if (pump_) pump_->Pump();
        if (CancelRequested()) return;
    }
    for (const std::string& name : subdirectories) {
        Walk(directory + name + "/", base);
        if (CancelRequested()) return;
    }
}

void InputList::AddDirectoryTree(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    if (scanObserver_) scanObserver_->SetScanning(true);
    if (cancelRequested_) cancelRequested_->store(false);
    WalkDirectory(directory);
    if (scanObserver_) scanObserver_->SetScanning(false);
    if (paths_.empty()) return;
    containerName = directory + RandomNamePart() + ".vesk";
}

bool InputList::AddPath(const std::string& path) {
    duplicateSkipped = false;
    if (IsDirectory(path)) {
        AddDirectoryTree(path);
    } else {
        AddFileToList(path, kOwnFileMarker);
    }
    return TakeDuplicate();
}

void InputList::ProposeOutputName(const std::string& path) {
    if (!containerName.empty()) return;
    containerName = DirectoryWithSlash(path) + RandomNamePart() + ".vesk";
}

void InputList::BeginAdd() {
    duplicateSkipped = false;
    if (paths_.empty()) containerName.clear();
}

bool InputList::AddChosenFiles(std::string_view dialogResult) {
    if (dialogResult.empty()) return false;
    const auto nul = dialogResult.find('\0');
    if (nul == std::string_view::npos) {
        AddFileToList(std::string(dialogResult), kOwnFileMarker);
    } else {
        const std::string directory(dialogResult.substr(0, nul));
        std::string_view rest = dialogResult.substr(nul + 1);
        while (!rest.empty()) {
            const auto next = rest.find('\0');
            const std::string_view name = rest.substr(0, next);
            if (!name.empty()) AddFileToList(directory + "/" + std::string(name), kOwnFileMarker);
            rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
        }
    }
    if (!paths_.empty()) ProposeOutputName(paths_.front());
    return TakeDuplicate();
}

bool InputList::AddChosenFolder(const std::string& folder) {
    if (folder.empty()) return false;
    AddDirectoryTree(folder);
    return TakeDuplicate();
}

bool InputList::TakeDuplicate() {
    const bool due = duplicateSkipped;
    duplicateSkipped = false;
    return due;
}

void InputList::RemoveAt(std::size_t index) {
    relativeNames_.erase(FoldCase(paths_[index]));
    paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::size_t> InputList::RemoveSelected(const std::vector<std::size_t>& selected) {
    std::vector<std::size_t> order(selected);
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (*it < paths_.size()) RemoveAt(*it);
    }
    if (!paths_.empty()) return 0;
    relativeNames_.clear();
    modeOptionsEnabled = true;
    containerName.clear();
    return std::nullopt;
}

std::optional<std::size_t> InputList::DeleteCurrent(std::optional<std::size_t> current) {
    if (!current) {
        paths_.clear();
        relativeNames_.clear();
    } else if (*current < paths_.size()) {
        RemoveAt(*current);
    }
    if (!paths_.empty()) return 0;
    modeOptionsEnabled = true;  // the container name stays
    return std::nullopt;
}

int InputList::DropOnList(const std::vector<std::string>& paths) {
    int notices = 0;
    for (const auto& path : paths) notices += AddPath(path) ? 1 : 0;
    if (!paths_.empty()) {
        ProposeOutputName(paths_.front());
        mode = Mode::kFiles;
    }
    return notices;
}

InputList::DropResult InputList::DropOnWindow(const std::vector<std::string>& paths) {
    DropResult result;
    if (paths.size() == 1 && paths[0].size() >= 5) {
        std::string suffix = paths[0].substr(paths[0].size() - 5);
        std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (suffix == ".vesk") {
            result.prepareDecrypt = true;
            result.container = paths[0];
            result.outputDirectory = DirectoryWithSlash(paths[0]);
            return result;
        }
    }
    result.duplicateNotices = DropOnList(paths);
    return result;
}

void InputList::Clear() {
    paths_.clear();
    relativeNames_.clear();
    modeOptionsEnabled = true;
    containerName.clear();
}

std::optional<std::string> InputList::RelativeName(const std::string& path) const {
    const auto it = relativeNames_.find(FoldCase(CollapseSlashes(path)));
    if (it == relativeNames_.end()) return std::nullopt;
    return it->second;
}

std::vector<EncryptItem> InputList::EncryptItems() const {
    std::vector<EncryptItem> items;
    items.reserve(paths_.size());
    for (const auto& path : paths_) items.push_back({path, relativeNames_.at(FoldCase(path))});
    return items;
}

}  // namespace sealwise
