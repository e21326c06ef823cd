// English texts of the messages the container commands print.
#include "cli/messages.h"

#include <map>

namespace sealwise::cli {
namespace {

const std::map<int, std::string>& Texts() {
    static const std::map<int, std::string> texts = {
        {103, "Error:"},
        {108, "File has no usable content!"},
        {114, "Error: Please check the filename(s) and password"},
        {116, "The encrypted file has been saved as \"%s\"."},
        {178, "The output file %s already exists. Do you want to overwrite it? If you press "
              "\"No\", you will be prompted to enter another filename."},
        {194, "Error: There is either a device error or the password you have entered was "
              "invalid."},
        {385, "The number of keys must be between 2 and 10."},
        {386, "Key %s is empty."},
        {393, "One or more files already exist in the encrypted destination and will not be "
              "added again."},
        {420, "The entry name \"%s\" is not a safe relative path; the entry was not restored."},
        {421, "The entry \"%s\" is damaged; nothing was restored for it."},
        {422, "The file \"%s\" is too large: a file must stay below 2 GB to be stored in a "
              "container."},
        {423, "The container would reach 2 GB, the largest size the format allows. Nothing was "
              "written."},
        {424, "The container \"%s\" is damaged or incomplete: its index does not match its "
              "length."},
        {425, "The name \"%s\" is longer than 255 bytes and cannot be stored in a container."},
        {426, "\"%s\" is not a regular file."},
        {427, "The file \"%s\" already exists and was not overwritten."},
        {428, "The file \"%s\" changed while it was being encrypted and was left out."},
        {429, "A directory on the way to \"%s\" is a symbolic link or a file; the entry was not "
              "restored."},
        {430, "Entry %s of the container is damaged; nothing was restored for it."},
    };
    return texts;
}

}  // namespace

std::string MessageText(int id, const std::string& argument) {
    const auto it = Texts().find(id);
    std::string text = it == Texts().end() ? "message " + std::to_string(id) : it->second;
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

std::string MessageFor(const SealError& error) {
    if (error.stringId() == 103) return MessageText(103) + " " + error.argument();
    return MessageText(error.stringId(), error.argument());
}

}  // namespace sealwise::cli
