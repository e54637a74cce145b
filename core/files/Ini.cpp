#include "core/files/Ini.h"

#include "core/files/Numbers.h"
#include "core/files/ReadFile.h"
#include "core/files/SaveFile.h"

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

// Windows trims blanks around the names a program asks for, as it does around those in the file.
QString trimmedName(const QString& name) { return WithoutBlanks(name).toString(); }

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// What the value part of a key line reads as: trimmed, and without one pair of
// matching quotes around it.
QByteArray readBack(QByteArrayView bytes)
{
    QByteArray value = trimmed(bytes);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// The first ']' from `from` on, found by character; -1 when there is none.
qsizetype findClosingBracket(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype i = from; i < bytes.size(); i += IsCp932LeadByte(bytes[i]) ? 2 : 1)
        if (bytes[i] == ']')
            return i;
    return -1;
}

bool hasLineBreak(const QByteArray& bytes) { return bytes.contains('\r') || bytes.contains('\n'); }

Failure BadText(const QString& detail) { return Failure::Of(Failure::Kind::BadText, QString(), detail); }

// Cuts to at most 254 bytes without splitting a double-byte character.
QByteArray cutValue(const QByteArray& value)
{
    if (value.size() <= kMaxValueBytes)
        return value;
    qsizetype end = 0;
    for (qsizetype i = 0; i < kMaxValueBytes;) {
        const qsizetype width = IsCp932LeadByte(value[i]) ? 2 : 1;
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
        const qsizetype close = findClosingBracket(text, 1);
        if (close > 0) {
            line.kind = Line::Section;
            line.name = DecodeCp932(trimmed(text.mid(1, close - 1))).text;
        }
        return line;
    }
    if (text.startsWith(';'))
        return line;
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0)
        return line;
    line.kind = Line::Key;
    line.name = DecodeCp932(trimmed(text.left(equals))).text;
    line.value = readBack(text.mid(equals + 1));
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

Result<IniFile> IniFile::load(const QString& path)
{
    const Result<QByteArray> bytes = ReadRegularFile(path, kMaxTextFileSize);
    if (!bytes)
        return bytes.failure();
    return fromBytes(*bytes);
}

int IniFile::findSection(const QString& sectionName) const
{
    const QString section = trimmedName(sectionName);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::Section && sameName(lines_[i].name, section))
            return static_cast<int>(i);
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& keyName) const
{
    const QString key = trimmedName(keyName);
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

const IniFile::Line* IniFile::findLine(const QString& section, const QString& key) const
{
    const int s = findSection(section);
    const int k = s >= 0 ? findKey(s, key) : -1;
    return k >= 0 ? &lines_[static_cast<std::size_t>(k)] : nullptr;
}

QString IniFile::value(const QString& section, const QString& key) const
{
    const Line* line = findLine(section, key);
    return line ? DecodeCp932(cutValue(line->value)).text : QString();
}

QString IniFile::wholeValue(const QString& section, const QString& key) const
{
    const Line* line = findLine(section, key);
    return line ? DecodeCp932(line->value).text : QString();
}

QByteArray IniFile::newLineEnding() const
{
    // Not a lone CR: before a following line that ends with a lone LF, the two would
    // read back as one CRLF and that line would be lost.
    for (const Line& line : lines_)
        if (!line.ending.isEmpty())
            return line.ending == "\r" ? QByteArrayLiteral("\r\n") : line.ending;
    return QByteArrayLiteral("\r\n");
}

Result<bool> IniFile::set(const QString& sectionGiven, const QString& keyGiven, const QString& value)
{
    const QString section = trimmedName(sectionGiven);
    const QString key = trimmedName(keyGiven);
    const std::optional<QByteArray> sectionBytes = EncodeCp932(section);
    const std::optional<QByteArray> keyBytes = EncodeCp932(key);
    const std::optional<QByteArray> valueBytes = EncodeCp932(value);
    if (!sectionBytes || !keyBytes || !valueBytes)
        return BadText(QStringLiteral("CP932 にない文字があります"));
    if (hasLineBreak(*valueBytes))
        return BadText(QStringLiteral("改行を含む値は書けません"));
    // Names that would read back as something else (or not at all) would add a new
    // line on every write.
    const QByteArray keyName = trimmed(*keyBytes);
    if (hasLineBreak(*sectionBytes) || hasLineBreak(*keyBytes) || findClosingBracket(*sectionBytes, 0) >= 0
        || keyName.isEmpty() || keyName.contains('=') || keyName.startsWith(';') || keyName.startsWith('['))
        return BadText(QStringLiteral("セクション名かキー名に使えない文字があります"));

    const QByteArray ending = newLineEnding();
    const int s = findSection(section);
    if (s >= 0) {
        const int k = findKey(s, key);
        if (k >= 0) {
            Line& line = lines_[static_cast<std::size_t>(k)];
            const QByteArray newValue = readBack(*valueBytes);
            if (line.value == newValue)
                return false;
            line.raw = trimmed(line.raw.left(line.raw.indexOf('='))) + '=' + *valueBytes;
            line.value = newValue;
            if (line.ending.isEmpty())
                line.ending = ending;
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
    return IniFile::load(file).value_or(IniFile()).value(section, key);
}

QString ReadIniWhole(const QString& section, const QString& key, const QString& file)
{
    return IniFile::load(file).value_or(IniFile()).wholeValue(section, key);
}

Result<void> WriteIni(const QString& section, const QString& key, const QString& value, const QString& file)
{
    return WriteIniKeys(section, {{key, value}}, file);
}

Result<void> WriteIniKeys(const QString& section, const std::vector<std::pair<QString, QString>>& keyValues,
                          const QString& file)
{
    // A file that exists but cannot be read must not be replaced by one holding only these keys.
    const Result<IniFile> loaded = IniFile::load(file);
    if (!loaded && !loaded.failure().missing()) {
        Failure unread = loaded.failure();
        unread.detail = QStringLiteral("ファイルを読めません: ") + unread.reason();
        return unread;
    }
    IniFile ini = loaded.value_or(IniFile());
    bool changed = false;
    for (const auto& [key, value] : keyValues) {
        const Result<bool> set = ini.set(section, key, value);
        if (!set) {
            Failure refused = set.failure();
            refused.place = file;
            return refused;
        }
        changed = changed || *set;
    }
    // Nothing to change: the file keeps its bytes and its time.
    if (!changed)
        return {};
    // A file past what a read takes would be written and then never read back.
    const QByteArray bytes = ini.bytes();
    if (bytes.size() > kMaxTextFileSize) {
        Failure tooLarge = Failure::TooLargeFile(file, kMaxTextFileSize);
        tooLarge.detail = QStringLiteral("書くと %1 を超え、読み込めなくなります").arg(SizeText(kMaxTextFileSize));
        return tooLarge;
    }
    return WriteFileAtomically(file, bytes);
}

} // namespace zor
