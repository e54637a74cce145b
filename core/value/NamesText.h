#pragma once

// A Names cell: its value is an ID of another data set, shown by that ID's name and
// typed as a name or a number.

#include "core/value/EditorText.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// The text a Names cell shows: names[value] (names indexed by ID), or the value in
// notation (as FormatValue writes it) when that ID has no name or lies past the list.
// Never fails.
QString NamesCellText(std::uint32_t value, int size, int notation, const QStringList& names);
// The same for a caller that looks the name up itself: name is the ID's, nullptr for none.
QString NamesCellText(std::uint32_t value, int size, int notation, const QString* name);

// A name as names are compared: in NFKC, so that the half- and full-width forms an input
// method gives are one name; letter case and blanks are kept. Never fails.
QString NameKey(QStringView name);

// The value a text typed into a Names cell gives: a text ReadEditorText reads is that
// number, whatever names exist; otherwise the first ID whose name equals the text, both
// taken to NFKC and compared exactly (no trimming, letter case kept), among the IDs the
// size can hold. nullopt when neither reads it; an empty name never matches.
std::optional<std::uint32_t> ReadNameOrNumber(QStringView text, int size, const QStringList& names,
                                              BareDigits bare = BareDigits::Decimal);

} // namespace zor
