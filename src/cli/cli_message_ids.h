#pragma once
// String-table ids of the command-line tool's own texts (prefixes, help, usage errors, labels).
namespace sealwise::cli::msg {

constexpr int kErrorPrefix = 700;
constexpr int kHintPrefix = 701;
constexpr int kNotePrefix = 702;
constexpr int kWarningPrefix = 703;
constexpr int kUsageLine = 704;
constexpr int kToolPurpose = 705;
constexpr int kCommandsHeading = 706;
constexpr int kHelpCommandHint = 707;
constexpr int kExitStatusLine = 708;
constexpr int kUnknownCommand = 709;  // %s: the command
constexpr int kCommandListHint = 710;
constexpr int kFirstCommandSummary = 711;  // 711..720 in the order of the command table
constexpr int kUsageHint = 721;            // %s: "sealwise-cli COMMAND"
constexpr int kRequiredArgument = 722;     // %s: the option or argument
constexpr int kUnexpectedArgument = 723;   // %s: the arguments
constexpr int kNeedsValue = 724;           // %s: the option
constexpr int kExcludedOptions = 725;      // %s, %d: the two options
constexpr int kInvalidValue = 726;         // %s: the option, %d: what is wrong
constexpr int kInvalidCommandLine = 727;   // %s: the parser's description
constexpr int kRateScore = 728;
constexpr int kRateVerdict = 729;
constexpr int kRateStars = 730;
constexpr int kRateLamps = 731;
constexpr int kLampRed = 732;
constexpr int kLampYellow = 733;
constexpr int kLampGreen = 734;
constexpr int kRatePrompt = 735;
constexpr int kEmptyTextToEncrypt = 736;
constexpr int kEmptyPassphrase = 737;
constexpr int kEmptyArmour = 738;
constexpr int kNotArmour = 739;
constexpr int kKeyNotHexDigit = 740;  // %s: the offending character
constexpr int kKeyOddDigits = 741;
constexpr int kKeyEmpty = 742;
constexpr int kKeyMissing = 743;
constexpr int kSecretFileShared = 744;        // %s: the file
constexpr int kPassphraseFdUnreadable = 745;  // %s: the descriptor
constexpr int kProgressFiles = 746;           // %s: count
constexpr int kProgressOf = 747;              // %s done of %d total
constexpr int kKeyFileUnreadable = 748;       // %s: the file
constexpr int kHelpUsageLabel = 749;
constexpr int kHelpOptionsBadge = 750;
constexpr int kHelpArgumentsHeading = 751;
constexpr int kHelpOptionsHeading = 752;
constexpr int kHelpRequiredLabel = 753;
constexpr int kHelpFlagDescription = 754;
constexpr int kVerifySummary = 755;
constexpr int kRateGuesses = 756;

}  // namespace sealwise::cli::msg
