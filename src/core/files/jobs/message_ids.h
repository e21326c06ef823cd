#pragma once
// String-table ids of the messages the file jobs raise (SealError::stringId).
namespace sealwise::msg {

constexpr int kSystemError = 103;  // "Error:" + the system's description
constexpr int kNoUsableContent = 108;
constexpr int kCheckNamesAndPassword = 114;
constexpr int kSavedAs = 116;            // %s: the container
constexpr int kOverwriteQuestion = 178;  // %s: the existing file
constexpr int kWrongPassword = 194;
constexpr int kDuplicateSkipped = 393;

constexpr int kUnsafeEntryName = 420;  // %s: the name, made printable
constexpr int kDamagedEntry = 421;     // %s: the entry's output path
constexpr int kFileTooLarge = 422;     // %s: the input file
constexpr int kContainerTooLarge = 423;
constexpr int kDamagedContainer = 424;      // %s: the container
constexpr int kNameTooLong = 425;           // %s: the name
constexpr int kNotRegularFile = 426;        // %s: the path
constexpr int kNotOverwritten = 427;        // %s: the existing file
constexpr int kFileChanged = 428;           // %s: the input file
constexpr int kPathNotDirectory = 429;      // %s: the entry's output path
constexpr int kDamagedEntryNumber = 430;    // %s: the entry's number (from 1)
constexpr int kContainerNotReplaced = 600;  // %s: the path of the container being read

constexpr int kUnaccountedBytes = 590;  // %s: how many bytes of the container no entry holds

}  // namespace sealwise::msg
