#include "app/string_table.h"

#include <charconv>

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

void ParseRow(std::string_view line, int lineNumber, StringTable& table) {
    std::string_view cells[5];
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (count == 5) {
            throw StringTableFormatError("line " + std::to_string(lineNumber) +
                                         ": more than 5 columns");
        }
        cells[count++] =
            line.substr(start, tab == std::string_view::npos ? line.npos : tab - start);
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (count != 5) {
        throw StringTableFormatError("line " + std::to_string(lineNumber) + ": expected 5 columns");
    }
    int baseId = 0;
    const auto [end, ec] =
        std::from_chars(cells[0].data(), cells[0].data() + cells[0].size(), baseId);
    if (ec != std::errc() || end != cells[0].data() + cells[0].size() || baseId < 0) {
        throw StringTableFormatError("line " + std::to_string(lineNumber) + ": bad id");
    }
    for (int column = 0; column < 4; ++column) {
        if (cells[column + 1].empty()) continue;
        const int fullId = baseId + kColumnOffsets[column];
        if (!table.emplace(fullId, Unescape(cells[column + 1], lineNumber)).second) {
            throw StringTableFormatError("line " + std::to_string(lineNumber) + ": id " +
                                         std::to_string(fullId) + " defined twice");
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
