#include "core/navigate/FindFold.h"

namespace zor {

namespace {

constexpr char16_t kCombiningVoiced = 0x3099;
constexpr char16_t kCombiningSemiVoiced = 0x309A;

} // namespace

QString FoldForFind(QStringView text)
{
    QString out;
    out.reserve(text.size());
    AppendFoldedForFind(out, text);
    return out;
}

void AppendFoldedForFind(QString& out, QStringView text)
{
    // A mark at the start of text stays a mark: it follows a character of another text.
    const qsizetype start = out.size();
    for (const QChar original : text) {
        char16_t c = original.unicode();
        if (c < 0x80) {
            out += QChar(c >= u'A' && c <= u'Z' ? c + 0x20 : c); // most labels: no table lookups
            continue;
        }
        // Only the width forms: other compatibility forms (①, ㌔) keep their look.
        const QChar::Decomposition tag = original.decompositionTag();
        if (tag == QChar::Narrow || tag == QChar::Wide) {
            const QString plain = original.decomposition();
            if (plain.size() == 1)
                c = plain.front().unicode();
        }
        // A half-width voiced mark becomes a combining one: joined to its kana, as typed full-width.
        if ((c == kCombiningVoiced || c == kCombiningSemiVoiced) && out.size() > start) {
            const QString composed = (QString(out.back()) + QChar(c)).normalized(QString::NormalizationForm_C);
            if (composed.size() == 1) {
                out.back() = composed.front();
                continue;
            }
        }
        if (c < 0x80)
            out += QChar(c >= u'A' && c <= u'Z' ? c + 0x20 : c);
        else
            out += QChar(c).toCaseFolded();
    }
}

} // namespace zor
