#include "models/input_list.h"

#include <algorithm>

#include "files/format/entry_name.h"
#include "files/io/file_checks.h"
#include "models/file_page_paths.h"
#include "util/secure_random.h"

namespace sealwise {
namespace {

// The name a file will be stored under, "/" between components, as a key for finding the
// same file added twice.
std::string StoredNameKey(const std::string& path, const std::string& value) {
    if (value == kOwnFileMarker) return path.substr(path.find_last_of('/') + 1);
    std::string key = value.substr(value.rfind('\\', 0) == 0 ? 1 : 0);
    std::replace(key.begin(), key.end(), '\\', '/');
    return key;
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
    if (relativeNames_.count(path) != 0) {
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
    // Only files that would share a stored name are compared by identity (a stat each).
    const std::string storedKey = StoredNameKey(path, value);
    const auto [first, last] = storedNames_.equal_range(storedKey);
    if (first != last) {
        const std::optional<FileIdentity> identity = IdentityOf(path);
        for (auto it = first; identity && it != last; ++it) {
            if (IdentityOf(it->second) == identity) {
                duplicateSkipped = true;
                return;
            }
        }
    }
    storedNames_.emplace(storedKey, path);
    relativeNames_.emplace(path, std::move(value));
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
    if (CancelRequested()) return;
    const std::string base = ExpansionBase(directory);
    WalkOptions options;
    options.leaveOut = leaveOut_;
    options.onFile = [&](const std::string& path) {
        AddFileToList(path, base);
        if (pump_) pump_->Pump();
        return !CancelRequested();
    };
    WalkDirectoryTree(directory, options, skipped_);
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
    const std::string& path = paths_[index];
    const auto [first, last] = storedNames_.equal_range(StoredNameKey(path, relativeNames_[path]));
    for (auto it = first; it != last; ++it) {
        if (it->second == path) {
            storedNames_.erase(it);
            break;
        }
    }
    relativeNames_.erase(path);
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
    ForgetAll();
    modeOptionsEnabled = true;
    containerName.clear();
    return std::nullopt;
}

std::optional<std::size_t> InputList::DeleteCurrent(std::optional<std::size_t> current) {
    if (!current) {
        ForgetAll();
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

void InputList::ForgetAll() {
    paths_.clear();
    relativeNames_.clear();
    storedNames_.clear();
    skipped_.clear();
}

void InputList::Clear() {
    ForgetAll();
    modeOptionsEnabled = true;
    containerName.clear();
}

std::optional<std::string> InputList::RelativeName(const std::string& path) const {
    const auto it = relativeNames_.find(CollapseSlashes(path));
    if (it == relativeNames_.end()) return std::nullopt;
    return it->second;
}

std::vector<EncryptItem> InputList::EncryptItems() const {
    std::vector<EncryptItem> items;
    items.reserve(paths_.size());
    for (const auto& path : paths_) items.push_back({path, relativeNames_.at(path)});
    return items;
}

}  // namespace sealwise
