#include "cli/text_command_support.h"

#include <ostream>

#include "app/strings.h"
#include "cli/common.h"
#include "files/entry_name.h"
#include "util/errors.h"

namespace sealwise::cli {

int ReportFailure(Io& io, const SealError& error) {
    // The argument may be a name read from a container: print it escaped.
    PrintError(io, MessageText(SealError(error.stringId(), EscapeForDisplay(error.argument()))));
    return kFailure;
}

bool WriteOutput(Io& io, std::string_view data) {
    io.out.write(data.data(), static_cast<std::streamsize>(data.size()));
    io.out.flush();
    if (io.out) return true;
    ReportFailure(io, SealError(416, {}, "writing the output failed"));
    return false;
}

}  // namespace sealwise::cli
