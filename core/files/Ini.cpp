#include "core/files/Ini.h"

#include "core/files/SaveFile.h"

#include <QFileInfo>

namespace zor {

namespace {

constexpr qsizetype kMaxValueBytes = 254;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimmed(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin).toByteArray();
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Cuts to at most 254 bytes without splitting a double-byte character.
QByteArray cutValue(const QByteArray& value)
{
    if (value.size() <= kMaxValueBytes)
        return value;
    qsizetype end = 0;
    for (qsizetype i = 0; i < kMaxValueBytes;) {
        const auto c = static_cast<unsigned char>(value[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const qsizetype width = lead ? 2 : 1;
        if (i + width > kMaxValueBytes)
            break;
        i += width;
        end = i;
    }
    return value.left(end);
}

} // namespace

IniFile::Line IniFile::parse(const RawLine& raw)
{
    Line line;
    line.raw = raw.text;
    line.ending = raw.ending;
    const QByteArray text = trimmed(raw.text);
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close > 0) {
            line.kind = Line::Section;
            line.name = DecodeCp932(trimmed(text.mid(1, close - 1))).text;
        }
        return line;
    }
    if (text.startsWith(';') || text.startsWith('#'))
        return line;
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0)
        return line;
    line.kind = Line::Key;
    line.name = DecodeCp932(trimmed(text.left(equals))).text;
    QByteArray value = trimmed(text.mid(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.mid(1, value.size() - 2);
    line.value = value;
    return line;
}

IniFile IniFile::fromBytes(const QByteArray& bytes)
{
    IniFile file;
    for (const RawLine& raw : SplitLines(bytes)) {
        if (!DecodeCp932(raw.text).ok)
            file.badLines_.push_back(static_cast<int>(file.lines_.size()) + 1);
        file.lines_.push_back(parse(raw));
    }
    return file;
}

IniFile IniFile::load(const QString& path)
{
    const std::optional<QByteArray> bytes = ReadWholeFile(path, nullptr);
    return bytes ? fromBytes(*bytes) : IniFile();
}

int IniFile::findSection(const QString& section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::Section && sameName(lines_[i].name, section))
            return static_cast<int>(i);
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& key) const
{
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Section)
            break;
        if (lines_[i].kind == Line::Key && sameName(lines_[i].name, key))
            return static_cast<int>(i);
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key) const
{
    const int s = findSection(section);
    if (s < 0)
        return QString();
    const int k = findKey(s, key);
    if (k < 0)
        return QString();
    return DecodeCp932(cutValue(lines_[static_cast<std::size_t>(k)].value)).text;
}

QByteArray IniFile::newLineEnding() const
{
    for (const Line& line : lines_)
        if (!line.ending.isEmpty())
            return line.ending;
    return QByteArrayLiteral("\r\n");
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const std::optional<QByteArray> sectionBytes = EncodeCp932(section);
    const std::optional<QByteArray> keyBytes = EncodeCp932(key);
    const std::optional<QByteArray> valueBytes = EncodeCp932(value);
    if (!sectionBytes || !keyBytes || !valueBytes)
        return false;
    for (const QByteArray* bytes : {&*sectionBytes, &*keyBytes, &*valueBytes})
        if (bytes->contains('\r') || bytes->contains('\n'))
            return false;
    if (trimmed(*keyBytes).isEmpty() || keyBytes->contains('='))
        return false;

    const QByteArray ending = newLineEnding();
    const int s = findSection(section);
    if (s >= 0) {
        const int k = findKey(s, key);
        if (k >= 0) {
            Line& line = lines_[static_cast<std::size_t>(k)];
            line.raw = trimmed(line.raw.left(line.raw.indexOf('='))) + '=' + *valueBytes;
            line.value = *valueBytes;
            return true;
        }
        // New key after the section's last non-blank line.
        std::size_t insertAt = static_cast<std::size_t>(s) + 1;
        for (std::size_t i = insertAt; i < lines_.size() && lines_[i].kind != Line::Section; ++i)
            if (!trimmed(lines_[i].raw).isEmpty())
                insertAt = i + 1;
        if (lines_[insertAt - 1].ending.isEmpty())
            lines_[insertAt - 1].ending = ending;
        Line line = parse({*keyBytes + '=' + *valueBytes, ending});
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
        return true;
    }
    if (!lines_.empty() && lines_.back().ending.isEmpty())
        lines_.back().ending = ending;
    lines_.push_back(parse({'[' + *sectionBytes + ']', ending}));
    lines_.push_back(parse({*keyBytes + '=' + *valueBytes, ending}));
    return true;
}

QByteArray IniFile::bytes() const
{
    QByteArray out;
    for (const Line& line : lines_)
        out += line.raw + line.ending;
    return out;
}

QString ReadIni(const QString& section, const QString& key, const QString& file)
{
    return IniFile::load(file).value(section, key);
}

int WriteIni(const QString& section, const QString& key, const QString& value, const QString& file)
{
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    IniFile ini;
    if (QFileInfo::exists(file)) {
        const std::optional<QByteArray> bytes = ReadWholeFile(file, nullptr);
        if (!bytes)
            return 0;
        ini = IniFile::fromBytes(*bytes);
    }
    if (!ini.setValue(section, key, value))
        return 0;
    return WriteFileAtomically(file, ini.bytes(), nullptr) ? 1 : 0;
}

} // namespace zor
