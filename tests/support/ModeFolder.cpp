#include "tests/support/ModeFolder.h"

#include "core/files/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace zor::test {

ProgramFolder::ProgramFolder()
{
    EXPECT_TRUE(dir_.isValid());
}

QString ProgramFolder::file(const QString& relative) const { return dir_.filePath(relative); }

QByteArray Cp932(const QString& text)
{
    const std::optional<QByteArray> bytes = EncodeCp932(text);
    EXPECT_TRUE(bytes.has_value()) << "no CP932 form: " << text.toStdString();
    return bytes.value_or(QByteArray());
}

void ProgramFolder::writeLines(const QString& relative, const QStringList& lines, const QByteArray& ending,
                               bool finalBreak) const
{
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bytes += Cp932(lines[i]);
        if (finalBreak || i + 1 < lines.size())
            bytes += ending;
    }
    writeBytes(relative, bytes);
}

void ProgramFolder::writeBytes(const QString& relative, const QByteArray& bytes) const
{
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(out.write(bytes), bytes.size());
}

QByteArray ProgramFolder::readBytes(const QString& relative) const
{
    QFile in(file(relative));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << relative.toStdString();
    return in.readAll();
}

void ProgramFolder::writeMode(const QString& mode, const QString& files, const QStringList& options) const
{
    EXPECT_TRUE(WriteModeFolder(path(), mode, files, options)) << mode.toStdString();
}

void ProgramFolder::writeZorIni(const QString& mode, const QString& defaultNotation) const
{
    EXPECT_TRUE(WriteZorIni(path(), mode, defaultNotation.isEmpty() ? QStringList() : QStringList{QStringLiteral("DefaultNotation=") + defaultNotation}));
}

void ProgramFolder::writeTable(const QString& mode, const QString& name, int ids, int sections, const QString& offset) const
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

} // namespace zor::test
