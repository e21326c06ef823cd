#include "cli/job_reporter.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "cli/common.h"
#include "files/format/entry_name.h"
#include "files/io/file_checks.h"
#include "files/jobs/container_listing.h"

namespace sealwise::cli {

JobReporter::JobReporter(Io& io, bool showProgress, OverwritePolicy policy)
    : io_(io), showProgress_(showProgress), policy_(policy) {}

void JobReporter::SetTotals(int64_t files, int64_t bytes) {
    totalFiles_ = files;
    totalBytes_ = bytes;
}

void JobReporter::SetTotalsFromContainer(const std::string& container,
                                         std::span<const uint8_t> key) {
    if (!showProgress_) return;
    try {
        int64_t files = 0, bytes = 0;
        ContainerListing listing(container, key);  // one entry at a time: no memory per entry
        for (ListedEntry entry; listing.Next(entry);) {
            ++files;
            bytes += entry.size;
        }
        SetTotals(files, bytes);
    } catch (const SealError&) {
        // The run itself meets the same failure and reports it.
    }
}

namespace {

std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string JobReporter::ProgressLine(int64_t files, int64_t totalFiles, int64_t bytes,
                                      int64_t totalBytes, double seconds) {
    constexpr double kMiB = 1024.0 * 1024.0;
    const std::string rate =
        Format("%.1f MB/s", seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0);
    const std::string done = Format("%.1f", static_cast<double>(bytes) / kMiB);
    if (totalFiles <= 0) {
        return GetResText(Msg::ProgressFiles, std::to_string(files)) + "  " + done + " MiB  " +
               rate;
    }
    const std::string count = std::to_string(files) + "/" + std::to_string(totalFiles);
    if (totalBytes <= 0) {
        return GetResText(Msg::ProgressFiles, count) + "  " + done + " MiB  " + rate;
    }
    const int percent = static_cast<int>(
        std::min<int64_t>(100, 100 * bytes / totalBytes));  // estimates never pass 100
    return GetResText(Msg::ProgressFiles, count) + "  " +
           GetResText(Msg::ProgressOf, done,
                      Format("%.1f", static_cast<double>(totalBytes) / kMiB)) +
           " MiB (" + std::to_string(percent) + "%)  " + rate;
}

void JobReporter::ItemStarted(const std::string&, int64_t) {
    ++files_;
    Draw(true);
}

void JobReporter::BytesDone(int64_t bytes) {
    bytes_ += bytes;
    Draw(false);
}

void JobReporter::Draw(bool force) {
    if (!showProgress_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::string text = ProgressLine(files_, totalFiles_, bytes_, totalBytes_, seconds);
    io_.err << "\r" << text;
    if (text.size() < lineWidth_) io_.err << std::string(lineWidth_ - text.size(), ' ');
    lineWidth_ = std::max(lineWidth_, text.size());
    io_.err << std::flush;
}

void JobReporter::ClearLine() {
    if (!showProgress_ || lineWidth_ == 0) return;
    io_.err << "\r" << std::string(lineWidth_, ' ') << "\r" << std::flush;
    lineWidth_ = 0;
}

void JobReporter::Finish() { ClearLine(); }

void JobReporter::ReportError(const std::string& item, const SealError& error) {
    ClearLine();
    ++errors_;
    // Items and arguments may hold names from a container: never let them steer the terminal.
    std::string text = MessageText(SealError(error.stringId(), EscapeForDisplay(error.argument())));
    // Messages that name their item already need no prefix.
    if (error.argument().empty() || error.stringId() == Msg::SystemError) {
        text = EscapeForDisplay(item) + ": " + text;
    }
    PrintError(io_, text);
}

void JobReporter::ReportNotice(const std::string& /*item*/, const Message& notice) {
    ClearLine();
    io_.err << "sealwise-cli: note: "
            << MessageText(Message{notice.id, EscapeForDisplay(notice.argument),
                                   EscapeForDisplay(notice.secondArgument)})
            << "\n";
}

char JobReporter::Ask(const std::string& path) {
    ClearLine();
    for (;;) {
        io_.err << GetResText(Msg::OverwriteQuestion, EscapeForDisplay(path)) << "\n"
                << GetResText(Msg::OverwriteChoices) << " " << std::flush;
        std::string answer;
        if (!std::getline(io_.in, answer)) return 's';
        if (!answer.empty()) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(answer[0])));
            if (c == 'y' || c == 'n' || c == 's') return c;
        }
    }
}

OverwriteAnswer JobReporter::AskOverwrite(const std::string& path) {
    if (policy_ == OverwritePolicy::kOverwrite) return {OverwriteChoice::kOverwrite, {}};
    if (policy_ == OverwritePolicy::kKeep) {
        ClearLine();
        // The hint once, not for every file.
        PrintError(io_, GetResText(Msg::NotOverwritten, EscapeForDisplay(path)),
                   notOverwritten_++ == 0 ? GetResText(Msg::OverwriteHint) : "");
        return {};
    }
    std::string current = path;
    for (;;) {
        const char choice = Ask(current);
        if (choice == 'y') {
            return current == path ? OverwriteAnswer{OverwriteChoice::kOverwrite, {}}
                                   : OverwriteAnswer{OverwriteChoice::kRename, current};
        }
        if (choice == 's') {
            ++notOverwritten_;
            return {};
        }
        io_.err << GetResText(Msg::NewFileName) << " " << std::flush;
        std::string name;
        if (!std::getline(io_.in, name) || name.empty()) {
            ++notOverwritten_;
            return {};
        }
        // A relative name is taken in the directory of the existing file.
        if (name.front() != '/')
            current = path.substr(0, path.find_last_of('/') + 1) + name;
        else
            current = name;
        if (!FileExists(current) && !DirExists(current)) {
            return {OverwriteChoice::kRename, current};
        }
    }
}

}  // namespace sealwise::cli
