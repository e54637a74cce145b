#pragma once

// What a cell takes from its user: a text typed into its editor or pasted onto it, read by
// the cell's type; the names a Names cell offers with their IDs; the bits a Bits cell lists.
// The editor, the commit and the text paste all read through here, so that a text reads
// alike wherever it is given.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/value/CellType.h"
#include "core/value/EditorText.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// How one cell reads a text: by its size, with bare digits hexadecimal or decimal, and in a
// Names cell by the names of its data set.
struct CellReading {
    int size = 1;
    bool hexColumn = false;                // the cell is written in hexadecimal
    BareDigits bare = BareDigits::Decimal; // how digits without a prefix read in this cell
    std::optional<QString> namesSet;       // the name of the data set whose ID the value is; nullopt: none
    QStringList names;                     // its names by ID

    // The value text gives: a number in the editor's forms for the size (ReadEditorText),
    // else in a Names cell the first ID whose name it is (ReadNameOrNumber). nullopt when
    // neither reads it. Never reads the document.
    std::optional<std::uint32_t> read(QStringView text) const;
    // The forms read() takes, as a refusal names them: the size's forms, with a "0x"
    // example in a hexadecimal column, how bare digits read there, and the names.
    QString forms() const;
};

// A data set's names by ID number (from 0), as ReadNameOrNumber takes them.
QStringList NamesById(const DataSet& set);

// How cell reads a text. hexColumns says how bare digits read in a cell written in
// hexadecimal (the user's choice); in every other cell they are decimal.
CellReading ReadingOf(const DocumentState& doc, const CellRef& cell, BareDigits hexColumns);

// One ID a Names cell can hold, as its list offers it.
struct NameChoice {
    std::uint32_t id = 0;
    QString name;  // empty when the ID has none
    QString key;   // the name as names are compared (NameKey)
    QString label; // the ID in the cell's notation, then the name
};

// Every ID of a Names cell's data set that the cell's size can hold, in ID order; a name
// two IDs share is offered for each. Empty for a cell that is no Names cell.
std::vector<NameChoice> NameChoices(const DocumentState& doc, const CellRef& cell);

// The labels of a Bits cell's 8 × size bits, bit 0 first: each bit's name, "bit n" for an
// unnamed one. Empty for a cell that is no Bits cell.
QStringList BitLabels(const DocumentState& doc, const CellRef& cell);

} // namespace zor
