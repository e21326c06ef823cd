// Base64 of armour. Properties: decoding never fails on any text, and Decode(Encode(x)) == x.
#include <cstdlib>
#include <string_view>

#include "text/base64.h"

using namespace sealwise;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Bytes decoded = DecodeBase64(text);
    if (decoded.size() > size) std::abort();  // four characters make three bytes at most
    const Bytes bytes(data, data + size);
    if (!bytes.empty() && DecodeBase64(EncodeBase64(bytes)) != bytes) std::abort();
    return 0;
}
