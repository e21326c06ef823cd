# Generates the typed message ids (enum class Msg) from the id and name columns of the string
# table, so code names a message instead of repeating its number.
# Invoked as: cmake -DINPUT=strings.tsv -DOUTPUT=msg.h -P MessageCatalogue.cmake
# Stops with an error naming the line on a row without a valid name, a name used twice or an
# id given twice: either would leave the code and the table disagreeing about a message.
file(READ "${INPUT}" content)
string(REPLACE "\r" "" content "${content}")
# Keep only the first two cells of each row; the texts may hold list separators (";", "[").
string(REGEX REPLACE "([^\t\n]*)\t([^\t\n]*)[^\n]*" "\\1\t\\2" content "${content}")
string(REGEX REPLACE "#[^\n]*" "" content "${content}")
string(REGEX REPLACE "[][;\\\\]" "?" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

function(catalogue_error lineNumber text)
    message(FATAL_ERROR "${INPUT}:${lineNumber}: ${text}")
endfunction()

set(lineNumber 0)
set(members "")
set(names "")
foreach(line IN LISTS lines)
    math(EXPR lineNumber "${lineNumber} + 1")
    if(line STREQUAL "")
        continue()
    endif()
    if(NOT line MATCHES "^([^\t]*)\t?([^\t]*)$")
        catalogue_error(${lineNumber} "cannot read the row")
    endif()
    set(id "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    if(NOT id MATCHES "^[0-9]+$")
        catalogue_error(${lineNumber} "the id \"${id}\" is not a number")
    endif()
    if(name STREQUAL "")
        catalogue_error(${lineNumber} "the row of id ${id} has no name (second column)")
    endif()
    if(NOT name MATCHES "^[A-Z][A-Za-z0-9]*$")
        catalogue_error(${lineNumber}
            "the name \"${name}\" of id ${id} is not a CamelCase identifier")
    endif()
    if(DEFINED seen_name_${name})
        catalogue_error(${lineNumber}
            "the name ${name} of id ${id} is already used by id ${seen_name_${name}}")
    endif()
    if(DEFINED seen_id_${id})
        catalogue_error(${lineNumber} "the id ${id} already has a row (${seen_id_${id}})")
    endif()
    set(seen_name_${name} ${id})
    set(seen_id_${id} ${name})
    string(APPEND members "    ${name} = ${id},\n")
    string(APPEND names "        case Msg::${name}:\n            return \"${name}\";\n")
endforeach()

set(header "// Generated from ${INPUT} by MessageCatalogue.cmake; do not edit.\n#pragma once\n")
string(APPEND header "#include <string_view>\n\nnamespace sealwise {\n\n")
string(APPEND header "// Base ids of the string table, named by its name column.\n")
string(APPEND header "enum class Msg : int {\n${members}};\n\n")
string(APPEND header "// The name of a message (\"SavedAs\"); empty for a number that names none.\n")
string(APPEND header "constexpr std::string_view MsgName(Msg id) noexcept {\n    switch (id) {\n")
string(APPEND header "${names}    }\n    return {};\n}\n\n}  // namespace sealwise\n")
# Only touch the output when it changes, so an unchanged table does not rebuild every user.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${header}" @ONLY)
