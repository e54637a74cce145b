#pragma once

// What a table's .ini says a cell's value is, beside its notation: how many bytes it
// takes (lowest first), and whether it is an ID of another data set or a set of named
// flags. A section that declares nothing is a one-byte number, as every cell once was.

#include <QStringList>

#include <optional>

namespace zor {

struct CellType {
    int Size = 1;                    // 1 to 4 bytes from the cell's offset, lowest first
    int NamesDataSet = 0;            // the data set whose ID the value is; 0: none
    std::optional<QStringList> Bits; // the flags' names, bit 0 first ("" unnamed); nullopt: no flags

    friend bool operator==(const CellType&, const CellType&) = default;
};

} // namespace zor
