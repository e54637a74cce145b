#pragma once

// What the grid shows for a tab, decided without a widget: its size, headings, row
// labels, alignments, column widths and the text of every data cell. The window
// only measures text and moves the result onto the grid.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace zor {

// Grid sizes in twips that the layout fixes.
inline constexpr int kMinColumnWidth = 600;      // narrowest column a fitted or saved width gives
inline constexpr int kIndividualValueWidth = 600; // the value column of 個別データ
inline constexpr int kIndividualHeadingHeight = 200;
inline constexpr int kOneLineMargin = 90;
inline constexpr int kTwoLineMargin = 380;
inline constexpr int kMaxHeadingLine = 6;          // characters a heading may have on one line
inline constexpr int kMaxColumnWidth = 32767;      // a stored width above this is not used

// Alignment codes of the grid.
inline constexpr int kAlignLeftTop = 0;
inline constexpr int kAlignRightTop = 6;

// The settings file of a tab's table: the data set's .ini on tab 1, 個別データ.ini on
// tab 2, 敵パラメータ.ini on tab 3. Empty when there is no such table or no mode folder.
QString TableSettingsFile(const DocumentState& doc, int tab, int dataSet);

// The notation a section's cells show in: NotationUnsigned or NotationSigned as set;
// NotationHex for any other code and for a section without settings.
int ShownNotation(const DocumentState& doc, int tab, int dataSet, int section);

// A notation code as the status bar names it: "符号無し10進数表記" for NotationUnsigned,
// "符号付き10進数表記" for NotationSigned, "16進数表記" for any other, as ShownNotation reads it.
QString NotationName(int code);

// A byte as cell text in the notation its section shows in: "0x" and two digits,
// unsigned or signed decimal.
QString FormatByte(const DocumentState& doc, int tab, int dataSet, int section, std::uint8_t value);
// The same in a notation as ShownNotation gives it.
QString FormatByteIn(int notation, std::uint8_t value);

// A value of a cell as a number in the notation its section shows in, widened to the cell's
// size: "0x" and 2 × size digits, unsigned or signed decimal. Never a name.
QString FormatCellValue(const DocumentState& doc, const CellRef& cell, std::uint32_t value);

// How a refusal of a battle record's first byte 0 names a first field wider than a byte:
// "（値 0x0100 の下位バイト）", its value (as FormatCellValue writes it) whose low byte
// that is; empty when the field is one byte.
QString FirstByteNote(const DocumentState& doc, std::uint32_t value);

// The text of data cell (row, col) of the table a tab shows: its value as FormatCellValue
// writes it, a Names cell's ID by its name, a Bits cell's set flags; empty outside the table.
QString CellText(const DocumentState& doc, int tab, int dataSet, int row, int col);
// The number data cell (row, col) holds as FormatCellValue writes it, never a name: what a
// copy of the cell as text gives. Empty outside the table.
QString CellNumberText(const DocumentState& doc, int tab, int dataSet, int row, int col);
// The text of a cell, as CellText, for a value it might hold: what it would show then.
QString CellTextOfValue(const DocumentState& doc, const CellRef& cell, std::uint32_t value);
// Whether a cell shows names rather than its number: a Names cell of a data set of the mode
// (its number only where the ID has no name), a Bits cell.
bool ShowsNames(const CellType& type, const DocumentState& doc);

// Whether the tab has a table to show: on tab 1 a data set 1..DataSetCount.
bool HasTable(const DocumentState& doc, int tab, int dataSet);

// The data set tab 1 shows after a file read or a tab change: the remembered one
// when it exists, else 1 when there is a data set, else 0 (none).
int DataSetToShow(const DocumentState& doc, int remembered);

// The label of battle record r: the name of its class (its first byte + 1) in the
// data set クラス; empty when that class has no name.
QString BattleRowLabel(const DocumentState& doc, int record);

struct GridLayout {
    int rows = 1;                 // the heading row included
    int cols = 1;                 // the label column included
    int headingHeight = 0;        // twips
    std::vector<QString> headings; // by column; [0] is the corner
    std::vector<QString> labels;   // by row; [0] unused
    std::vector<int> alignments;   // by column
    std::vector<bool> greyed;      // by column: a battle byte inside an earlier field, shown read-only
    std::optional<int> labelWidth; // [ColWidth] Section0; none: fit the widest label
    std::vector<std::optional<int>> widths; // by column ([0] unused): stored width; none: fit the heading
    bool fixedValueWidth = false;  // tab 2: the value column is always kIndividualValueWidth
};

// The layout of a tab's table, with the widths stored in its settings file.
GridLayout LayoutGrid(const DocumentState& doc, int tab, int dataSet, int baseRowHeight);

// A stored [ColWidth] value as a width in twips: a number rounded half to even, 0..32767.
std::optional<int> ParseColumnWidth(const QString& text);

// Width of one line of text in twips, in the grid's font.
using MeasureText = std::function<double(const QString& line)>;

// A heading of up to six characters stays on one line; a longer one of n characters
// breaks after k = n / 2 of them, the first line ending with a space.
QStringList HeadingLines(const QString& heading);

// The width that fits a heading: one line + 90 (at least 600), or the wider of two lines + 380.
int HeadingWidth(const QString& heading, const MeasureText& measure);

// The least width (twips) each column needs for the widest text its cells can show, from
// their types alone, never reading a value: a number's widest form for its size and notation,
// the longest name a Names cell's size can reach, a Bits cell with every flag set; with the
// margin of a heading's fit (one line + 90), at most 32767. By grid column; 0 for column 0
// and for a column of plain one-byte numbers, which keeps the heading's fit. On tab 2 the
// value column takes the widest of its typed entries (0 when none is typed).
std::vector<int> ValueWidths(const DocumentState& doc, int tab, int dataSet, const MeasureText& measure);

// What a fill gives a table's columns: base (ColumnWidths) widened to least (ValueWidths).
struct FittedWidths {
    std::vector<int> base;
    std::vector<int> widths;
};
FittedWidths FitToValues(std::vector<int> base, const std::vector<int>& least);

// A width that SaveColumnWidths leaves as the settings file has it.
inline constexpr int kKeepStoredWidth = -1;

// The widths to store for a table shown at widths shown after a fill gave it fitted: a
// column its values widened that still has that width is kKeepStoredWidth (a fit is never
// written, so that a later notation fits anew); any other the width shown, dragged or not.
// shown as it is when fitted belongs to a table of other columns.
std::vector<int> WidthsToStore(const std::vector<int>& shown, const FittedWidths& fitted);

// Column widths for a layout, by column: the stored ones; otherwise the heading's fit,
// or, for an empty heading, the previous width; column 0 the stored width or the
// row-label fit, which grows to a label's width + 90 only when the label is wider
// than the running width (without rows, the previous width). Labels are measured
// with a space after them.
std::vector<int> ColumnWidths(const GridLayout& layout, const std::vector<int>& previous, const MeasureText& measureHeading,
                              const MeasureText& measureLabel);

} // namespace zor
