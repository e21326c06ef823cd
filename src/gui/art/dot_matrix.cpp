#include "gui/art/dot_matrix.h"

#include <array>

namespace sealwise::gui {

namespace {

constexpr int kRows = 7;
constexpr int kDigitColumns = 5;
constexpr int kSeparatorColumns = 3;
constexpr double kCell = 3.0;  // pixels per dot
constexpr double kMargin = 2.0;

// One row per string, "#" a lit dot.
using Glyph = std::array<const char*, kRows>;
constexpr std::array<Glyph, 10> kDigits = {{
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
}};
constexpr Glyph kSeparator = {"...", "...", ".#.", "...", ".#.", "...", "..."};

const QColor kGround(18, 22, 20);
const QColor kLit(140, 255, 170);
const QColor kUnlit(34, 58, 42);

}  // namespace

QSize DotMatrixSize(int glyph) {
    const int columns = glyph == kSeparatorGlyph ? kSeparatorColumns : kDigitColumns;
    return QSize(static_cast<int>(columns * kCell + 2 * kMargin),
                 static_cast<int>(kRows * kCell + 2 * kMargin));
}

void PaintDotMatrix(QPainter& painter, const QRectF& area, int glyph) {
    const Glyph& rows = glyph == kSeparatorGlyph ? kSeparator : kDigits.at(glyph);
    const int columns = glyph == kSeparatorGlyph ? kSeparatorColumns : kDigitColumns;
    painter.save();
    painter.fillRect(area, kGround);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    const double cellX = (area.width() - 2 * kMargin) / columns;
    const double cellY = (area.height() - 2 * kMargin) / kRows;
    const double radius = 0.4 * std::min(cellX, cellY);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < columns; ++column) {
            painter.setBrush(rows[row][column] == '#' ? kLit : kUnlit);
            const QPointF centre(area.left() + kMargin + (column + 0.5) * cellX,
                                 area.top() + kMargin + (row + 0.5) * cellY);
            painter.drawEllipse(centre, radius, radius);
        }
    }
    painter.restore();
}

}  // namespace sealwise::gui
