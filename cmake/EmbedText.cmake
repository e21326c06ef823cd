# Turns a text file into a C++ source holding its bytes, so resources need no file at run time.
# Invoked as: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -DNAMESPACE=... -P EmbedText.cmake
file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" hexLength)
math(EXPR byteCount "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
# Break the array into lines of 16 bytes (CMake regexes have no {n} quantifier).
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 sixteen)
string(REGEX REPLACE "(${sixteen})" "\\1\n    " bytes "${bytes}")
set(source "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <string_view>\n\n")
string(APPEND source "namespace ${NAMESPACE} {\nnamespace {\nconstexpr unsigned char kData[] = {\n    ${bytes}0x00};\n}  // namespace\n\n")
string(APPEND source "std::string_view ${SYMBOL}() {\n    return {reinterpret_cast<const char*>(kData), ${byteCount}};\n}\n\n}  // namespace ${NAMESPACE}\n")
# Only touch the output when it changes, so an unchanged table does not rebuild the library.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${source}" @ONLY)
