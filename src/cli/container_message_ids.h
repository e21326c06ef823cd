#pragma once
// String-table ids of the texts that only the container commands print.
namespace sealwise::cli::msg {

constexpr int kNoFilesToEncrypt = 431;
constexpr int kPathMissing = 432;           // %s: the path
constexpr int kContainerIsDirectory = 433;  // %s: the path
constexpr int kEncryptCancelled = 434;
constexpr int kDecryptCancelled = 435;
constexpr int kFilesFailed = 436;       // %s: how many files failed
constexpr int kOverwriteChoices = 437;  // yes / no (another name) / skip
constexpr int kNewFileName = 438;
constexpr int kOverwriteHint = 439;
constexpr int kCannotCreateOutput = 440;  // %s: the directory
constexpr int kContainerExistsHint = 441;
constexpr int kYesNoChoices = 442;
constexpr int kKeptExisting = 601;  // %s: the existing file

}  // namespace sealwise::cli::msg
