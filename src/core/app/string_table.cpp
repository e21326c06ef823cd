#include "app/string_table.h"

#include <charconv>
#include <iterator>

namespace sealwise {
namespace {

std::string Unescape(std::string_view cell, int lineNumber) {
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\') {
            out += cell[i];
            continue;
        }
        if (++i == cell.size()) {
            throw StringTableFormatError("line " + std::to_string(lineNumber) +
                                         ": backslash at the end of a cell");
        }
        switch (cell[i]) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                throw StringTableFormatError("line " + std::to_string(lineNumber) +
                                             ": unknown escape \\" + cell[i]);
        }
    }
    return out;
}

// Cells of a row: id, name, then one text per language.
constexpr std::size_t kCellCount = 2 + std::size(kColumnOffsets);

void ParseRow(std::string_view line, int lineNumber, StringTable& table) {
    const std::string where = "line " + std::to_string(lineNumber);
    std::string_view cells[kCellCount];
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (count == kCellCount) {
            throw StringTableFormatError(where + ": more than " + std::to_string(kCellCount) +
                                         " columns");
        }
        cells[count++] =
            line.substr(start, tab == std::string_view::npos ? line.npos : tab - start);
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (count != kCellCount) {
        throw StringTableFormatError(where + ": expected " + std::to_string(kCellCount) +
                                     " columns");
    }
    int baseId = 0;
    const auto [end, ec] =
        std::from_chars(cells[0].data(), cells[0].data() + cells[0].size(), baseId);
    if (ec != std::errc() || end != cells[0].data() + cells[0].size() || baseId < 0) {
        throw StringTableFormatError(where + ": bad id");
    }
    // The name only names the id in the code; a row without one is a broken table.
    if (cells[1].empty()) throw StringTableFormatError(where + ": no name");
    for (std::size_t column = 0; column < std::size(kColumnOffsets); ++column) {
        const std::string_view cell = cells[2 + column];
        if (cell.empty()) continue;
        const int fullId = baseId + kColumnOffsets[column];
        if (!table.emplace(fullId, Unescape(cell, lineNumber)).second) {
            throw StringTableFormatError(where + ": id " + std::to_string(fullId) +
                                         " defined twice");
        }
    }
}

}  // namespace

StringTable ParseStringTable(std::string_view tsv) {
    StringTable table;
    int lineNumber = 0;
    while (!tsv.empty()) {
        ++lineNumber;
        const std::size_t newline = tsv.find('\n');
        std::string_view line = tsv.substr(0, newline);
        tsv.remove_prefix(newline == std::string_view::npos ? tsv.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        ParseRow(line, lineNumber, table);
    }
    return table;
}

}  // namespace sealwise
