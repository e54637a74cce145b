#pragma once

// The one builder of a program folder with its mode, from a compact text in CP932; header-only for the window tests.

#include "core/files/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace zor::test {

// Battle captions in the compact form: count pairs of offsets from 0 (hexadecimal) and captions prefix1, prefix2, ...
inline QString BattleCaptions(const QString& prefix = QStringLiteral("項目"), int count = 25)
{
    QString lines;
    for (int j = 1; j <= count; ++j)
        lines += QString::number(j - 1, 16) + u'|' + prefix + QString::number(j) + u'|';
    return lines;
}

// text in CP932 as folder/relative, '|' written as CRLF; false when it has no CP932 form or can't be written.
inline bool WriteCompactFile(const QString& folder, const QString& relative, const QString& text)
{
    const std::optional<QByteArray> bytes = EncodeCp932(QString(text).replace(u'|', QStringLiteral("\r\n")));
    const QString path = QDir(folder).filePath(relative);
    QFile file(path);
    return bytes && QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(*bytes) == bytes->size();
}

// ZOR.ini naming mode, with the option lines after Mode=.
inline bool WriteZorIni(const QString& folder, const QString& mode, const QStringList& options = {QStringLiteral("DefaultNotation=16")})
{
    return WriteCompactFile(folder, QStringLiteral("ZOR.ini"), (QStringList{QStringLiteral("[Option]"), QStringLiteral("Mode=") + mode} + options).join(u'|') + u'|');
}

// ZOR.ini and the files of mode, one a line: the file's name in the mode folder, blanks, then its lines with '|' for
// each break ("a|b|" ends with one, "a|b" not; a name alone is an empty file, "-" no file). 個別データ.sna ("0|項目|")
// and 敵パラメータ.sna (BattleCaptions()) are written unless files names them.
inline bool WriteModeFolder(const QString& folder, const QString& mode, const QString& files = QString(),
                            const QStringList& options = {QStringLiteral("DefaultNotation=16")})
{
    bool ok = WriteZorIni(folder, mode, options);
    QString individual = QStringLiteral("0|項目|");
    QString battle = BattleCaptions();
    for (const QString& line : files.split(u'\n')) {
        const QString entry = line.trimmed();
        qsizetype blank = 0;
        while (blank < entry.size() && !entry[blank].isSpace())
            ++blank;
        const QString name = entry.left(blank);
        const QString text = entry.mid(blank).trimmed();
        if (name == QStringLiteral("個別データ.sna"))
            individual = text;
        else if (name == QStringLiteral("敵パラメータ.sna"))
            battle = text;
        else if (!name.isEmpty() && text != u'-')
            ok = WriteCompactFile(folder, mode + u'/' + name, text) && ok;
    }
    for (const auto& [name, text] : {std::pair{QStringLiteral("個別データ.sna"), individual}, {QStringLiteral("敵パラメータ.sna"), battle}})
        if (text != u'-')
            ok = WriteCompactFile(folder, mode + u'/' + name, text) && ok;
    return ok;
}

} // namespace zor::test
