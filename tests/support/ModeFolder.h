#pragma once

// A throw-away program folder for tests, writing definitions and settings as a user's editor would: CP932, CRLF.

#include "tests/support/ModeText.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zor::test {

// Text in CP932; fails the test when it has no CP932 form.
inline QByteArray Cp932(const QString& text)
{
    const std::optional<QByteArray> bytes = EncodeCp932(text);
    EXPECT_TRUE(bytes.has_value()) << "no CP932 form: " << text.toStdString();
    return bytes.value_or(QByteArray());
}

class ProgramFolder {
public:
    ProgramFolder() { EXPECT_TRUE(dir_.isValid()); }

    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }

    // Lines joined by ending; with finalBreak the last line ends with it too.
    void writeLines(const QString& relative, const QStringList& lines, const QByteArray& ending = "\r\n", bool finalBreak = true) const
    {
        QByteArray bytes;
        for (qsizetype i = 0; i < lines.size(); ++i)
            bytes += Cp932(lines[i]) + (finalBreak || i + 1 < lines.size() ? ending : QByteArray());
        writeBytes(relative, bytes);
    }

    void writeBytes(const QString& relative, const QByteArray& bytes) const
    {
        const QString path = file(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(out.write(bytes), bytes.size());
    }

    QByteArray readBytes(const QString& relative) const
    {
        QFile in(file(relative));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << relative.toStdString();
        return in.readAll();
    }

    // The mode folder of WriteModeFolder; fails the test on a file not written.
    void writeMode(const QString& mode, const QString& files = QString(),
                   const QStringList& options = {QStringLiteral("DefaultNotation=16")}) const
    {
        EXPECT_TRUE(WriteModeFolder(path(), mode, files, options)) << mode.toStdString();
    }

    // ZOR.ini alone: Mode=mode, and DefaultNotation unless it is empty.
    void writeZorIni(const QString& mode, const QString& defaultNotation = QString()) const
    {
        const QString notation = QStringLiteral("DefaultNotation=") + defaultNotation;
        EXPECT_TRUE(WriteZorIni(path(), mode, defaultNotation.isEmpty() ? QStringList() : QStringList{notation}));
    }

    // A data set of exactly ids (at least 1) IDs and sections sections, every section at offset (hexadecimal).
    void writeTable(const QString& mode, const QString& name, int ids, int sections, const QString& offset = QStringLiteral("1000")) const
    {
        QStringList names;
        for (int n = 0; n < ids; ++n)
            names << QStringLiteral("ID%1").arg(n);
        writeLines(mode + u'/' + name + QStringLiteral(".idn"), names, "\r\n", false);
        QStringList pairs;
        for (int q = 1; q <= sections; ++q)
            pairs << offset << QStringLiteral("S%1").arg(q);
        writeLines(mode + u'/' + name + QStringLiteral(".sna"), pairs);
    }

private:
    QTemporaryDir dir_;
};

} // namespace zor::test
