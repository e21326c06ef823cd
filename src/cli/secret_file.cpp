#include "cli/secret_file.h"

#include <sys/stat.h>

#include <ostream>

#include "app/msg.h"
#include "app/strings.h"
#include "files/format/entry_name.h"

namespace sealwise::cli {

bool ReadableByOthers(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return (info.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

void WarnIfReadableByOthers(const std::string& path, std::ostream& err) {
    if (!ReadableByOthers(path)) return;
    err << "sealwise-cli: " << GetResText(Msg::WarningPrefix) << " "
        << GetResText(Msg::SecretFileShared, EscapeForDisplay(path)) << "\n";
}

}  // namespace sealwise::cli
