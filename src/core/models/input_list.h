#pragma once
// The list of files to encrypt into one container, with the entry name of each, and the
// proposed container name. Paths are this system's ("/" between components); entry names use
// "\". The model holds every rule of adding, expanding and removing, so that a window only
// binds its widgets to it.
#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/progress.h"
#include "files/io/directory_walk.h"
#include "files/jobs/encrypt_item.h"

namespace sealwise {

class InputList {
  public:
    enum class Mode { kFiles, kDirectories };

    // Told when a directory expansion starts and ends (the window shows its busy state).
    class ScanObserver {
      public:
        virtual ~ScanObserver() = default;
        virtual void SetScanning(bool scanning) = 0;
    };

    // Where a drop on the window leads.
    struct DropResult {
        bool prepareDecrypt = false;  // one container was dropped: decrypt it
        std::string container;        // ... this one
        std::string outputDirectory;  // ... into its directory (ending with "/")
        int duplicateNotices = 0;     // times message 393 is due
    };

    // The window's cancel flag (cleared when an expansion starts), its event pump and its
    // busy display; all optional.
    void SetCancelFlag(std::atomic<bool>* cancelRequested) { cancelRequested_ = cancelRequested; }
    void SetPumpHook(PumpHook* pump) { pump_ = pump; }
    void SetScanObserver(ScanObserver* observer) { scanObserver_ = observer; }

    // --- The operations of the list ---
    // Adds one file; base is "\" for a file added on its own, else the parent of the expanded
    // directory. Paths compare exactly (names differing in case are different files). A path
    // already listed, or the same file (device and inode) under the same stored name, sets
    // duplicateSkipped. Different files under one stored name are both listed: the encrypt job
    // refuses them before it writes anything.
    void AddFileToList(std::string path, std::string_view base);
    // Adds every regular file below directory (ending with "/"). Hidden files are included;
    // links to files are added. Symbolic links to directories, FIFOs, sockets, devices and
    // directories that cannot be read are left out and recorded in skipped(). Files of one
    // directory come in name order.
    void WalkDirectory(const std::string& directory);
    // The walk leaves this file out from now on (the container being written, when it exists).
    void LeaveOut(const std::string& path) { leaveOut_ = IdentityOf(path); }
    // Expands a directory and proposes the container inside it.
    void AddDirectoryTree(std::string directory);
    // Adds a file or a directory; true when message 393 is due.
    bool AddPath(const std::string& path);
    // Proposes "<directory of path>/xxxxxxxx.vesk" when no container name is set.
    void ProposeOutputName(const std::string& path);

    // --- The window's actions ---
    // Add button, before its dialog: forgets the container name of an empty list.
    void BeginAdd();
    // Add button in file mode with the open dialog's result (one path, or a directory and
    // names separated by NUL); true when message 393 is due.
    bool AddChosenFiles(std::string_view dialogResult);
    // Add button in directory mode with the chosen folder; true when message 393 is due.
    bool AddChosenFolder(const std::string& folder);
    // Remove button: removes the items at the given positions. Returns the position to select
    // (the first) when items remain.
    std::optional<std::size_t> RemoveSelected(const std::vector<std::size_t>& selected);
    // Delete key: removes the current item, or everything when there is none.
    std::optional<std::size_t> DeleteCurrent(std::optional<std::size_t> current);
    // Files dropped on the list; returns how often message 393 is due.
    int DropOnList(const std::vector<std::string>& paths);
    // Files dropped on the window.
    DropResult DropOnWindow(const std::vector<std::string>& paths);
    // After a successful encryption: empty list, no container name, both modes enabled.
    void Clear();

    // --- State ---
    const std::vector<std::string>& paths() const noexcept { return paths_; }
    bool empty() const noexcept { return paths_.empty(); }
    // The relativeNames value of a listed path: "\" or its entry name.
    std::optional<std::string> RelativeName(const std::string& path) const;
    std::vector<EncryptItem> EncryptItems() const;
    // What directory expansions left out since the list was last emptied.
    const std::vector<SkippedInput>& skipped() const noexcept { return skipped_; }

    std::string containerName;  // the proposed or chosen container path
    Mode mode = Mode::kFiles;
    bool modeOptionsEnabled = true;
    bool duplicateSkipped = false;

  private:
    void RemoveAt(std::size_t index);
    void ForgetAll();
    bool CancelRequested() const { return cancelRequested_ && cancelRequested_->load(); }
    bool TakeDuplicate();

    std::vector<std::string> paths_;
    std::unordered_map<std::string, std::string> relativeNames_;     // path -> value
    std::unordered_multimap<std::string, std::string> storedNames_;  // stored name -> path
    std::vector<SkippedInput> skipped_;
    std::optional<FileIdentity> leaveOut_;
    std::atomic<bool>* cancelRequested_ = nullptr;
    PumpHook* pump_ = nullptr;
    ScanObserver* scanObserver_ = nullptr;
};

// Eight characters from a-z and 0-9 from the secure generator.
std::string RandomNamePart();

// The part of an expanded directory's path that its entry names leave out: its parent.
// "/data/proj/" gives "/data"; "/" and "proj/" (relative) give "".
std::string ExpansionBase(const std::string& directory);

}  // namespace sealwise
