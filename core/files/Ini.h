#pragma once

// Private-profile (INI) files: [Section] lines followed by key=value lines, CP932.
// Names match whatever the case of their letters, and blanks around them, in the file
// or in a call, don't count; a missing file, section or key
// reads as empty text; a value in matching double or single quotes loses them; a
// value reads back cut to 254 bytes. Only ';' starts a comment. Writing a key replaces
// only that key's line and leaves every other byte of the file as it was.

#include "core/files/Failure.h"
#include "core/files/Text.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace zor {

class IniFile {
public:
    // The file, or why it can't be read (missing() for a file that is not there); callers
    // that read a missing or unreadable file as empty take value_or(IniFile()).
    [[nodiscard]] static Result<IniFile> load(const QString& path);
    static IniFile fromBytes(const QByteArray& bytes);

    QString value(const QString& section, const QString& key) const;      // cut to 254 bytes
    QString wholeValue(const QString& section, const QString& key) const; // not cut
    bool contains(const QString& section, const QString& key) const;

    // Whether the key changed (false when it already reads as the value). Refused, the
    // file as it was (BadText, saying why): a name or the value with a character CP932
    // lacks, a value with a line break, a name that would not read back (a line break, a
    // key that is empty, holds '=' or starts with ';' or '[', a section that holds ']').
    [[nodiscard]] Result<bool> set(const QString& section, const QString& key, const QString& value);

    QByteArray bytes() const;
    const std::vector<int>& badLines() const { return badLines_; } // 1-based lines that are not valid CP932

private:
    struct Line {
        QByteArray raw;
        QByteArray ending;
        enum Kind { Other, Section, Key } kind = Other;
        QString name;      // section or key name, trimmed
        QByteArray value;  // raw value bytes of a key line, trimmed
    };
    static Line parse(const RawLine& raw);
    int findSection(const QString& section) const;           // line index, or -1
    int findKey(int sectionLine, const QString& key) const;  // line index, or -1
    const Line* findLine(const QString& section, const QString& key) const;
    QByteArray newLineEnding() const;

    std::vector<Line> lines_;
    std::vector<int> badLines_;
};

// The value of key in [section] of file, cut to 254 bytes; empty when any of them is missing.
QString ReadIni(const QString& section, const QString& key, const QString& file);

// As ReadIni, but the whole value, for notes longer than 254 bytes.
QString ReadIniWhole(const QString& section, const QString& key, const QString& file);

// Sets key in [section] of file, creating the file, section and key as needed. On
// failure the file is as it was. A key that already reads as the value is not written at all.
[[nodiscard]] Result<void> WriteIni(const QString& section, const QString& key, const QString& value,
                                    const QString& file);

// Sets several keys of [section] with one read and one atomic save; nothing is saved
// when no value changes, nor when any of them cannot be written.
[[nodiscard]] Result<void> WriteIniKeys(const QString& section,
                                        const std::vector<std::pair<QString, QString>>& keyValues, const QString& file);

} // namespace zor
