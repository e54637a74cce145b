#pragma once

// Text as find compares it: letters without case, and the half-width and full-width forms
// of kana, letters, digits and signs as one (ｱ = ア, ｶﾞ = ガ, Ａ = a).

#include <QString>
#include <QStringView>

namespace zor {

QString FoldForFind(QStringView text);

// The same appended to out, for texts folded by the thousand into one string.
void AppendFoldedForFind(QString& out, QStringView text);

} // namespace zor
