#pragma once

// A changed cell as every list of changes names it — the change list, the CSV import's
// preview and zor-cli diff: where it lies and what it went from and to, in one form.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace zor {

struct ChangedCell {
    int tab = TabIdSection;             // TabIdSection, TabIndividual or TabBattle
    int dataSet = 0;                    // 1..DataSetCount on tab 1; 0 elsewhere
    QString dataSetName;                // empty outside tab 1
    int row = 0;                        // grid row: ID number + 1, the entry, the record
    QString label;                      // the ID's name, the entry's name, the record's class name
    int col = 0;                        // grid column; 1 on tab 2
    QString caption;                    // the section's caption; empty on tab 2
    std::optional<std::int64_t> offset; // in the image; none for battle cells
    std::uint32_t oldValue = 0;         // the cell's values, unsigned
    std::uint32_t newValue = 0;
    int size = 1;                       // the cell's bytes

    friend bool operator==(const ChangedCell&, const ChangedCell&) = default;
};

// Grid cell `cell` of doc going from oldValue to newValue, named as doc's grid shows it.
ChangedCell DescribeChangedCell(const DocumentState& doc, const CellRef& cell, std::uint32_t oldValue, std::uint32_t newValue);

// A change in two parts: where (the table, the ID, entry or record with its name, the
// section, the offset, joined by " / ") and what (old → new in the section's notation in doc).
struct ChangeText {
    QString place;
    QString values;
};
ChangeText ChangedCellText(const DocumentState& doc, const ChangedCell& cell);

// One line: the place, ": " and the values.
QString ChangedCellLine(const DocumentState& doc, const ChangedCell& cell);

// "old → new".
QString ChangeValues(const QString& oldText, const QString& newText);

// "head「name」", or head alone when the name is empty.
QString Named(const QString& head, const QString& name);

} // namespace zor
