#pragma once

// Private-profile (INI) files: [Section] lines followed by key=value lines, CP932.
// Names match whatever the case of their letters; a missing file, section or key
// reads as empty text; a value reads back cut to 254 bytes. Writing a key replaces
// only that key's line and leaves every other byte of the file as it was.

#include "core/files/Text.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace zor {

class IniFile {
public:
    // An unreadable or missing file loads as empty.
    static IniFile load(const QString& path);
    static IniFile fromBytes(const QByteArray& bytes);

    QString value(const QString& section, const QString& key) const;
    bool contains(const QString& section, const QString& key) const;

    // False (and nothing changes) when a name or the value has no CP932 form or holds a line break.
    bool setValue(const QString& section, const QString& key, const QString& value);

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
    QByteArray newLineEnding() const;

    std::vector<Line> lines_;
    std::vector<int> badLines_;
};

// The value of key in [section] of file, cut to 254 bytes; empty when any of them is missing.
QString ReadIni(const QString& section, const QString& key, const QString& file);

// Sets key in [section] of file, creating the file, section and key as needed.
// Non-zero on success.
int WriteIni(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace zor
