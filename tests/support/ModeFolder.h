#pragma once

// A throw-away program folder for tests, with helpers that write definition and
// settings files the way a user's editor would: CP932, CRLF unless told otherwise.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/support/ModeText.h"

namespace zor::test {

class ProgramFolder {
public:
    ProgramFolder();

    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const;

    // Lines joined by ending; with finalBreak the last line ends with it too.
    void writeLines(const QString& relative, const QStringList& lines, const QByteArray& ending = "\r\n",
                    bool finalBreak = true) const;
    void writeBytes(const QString& relative, const QByteArray& bytes) const;
    QByteArray readBytes(const QString& relative) const;

    // The mode folder of WriteModeFolder (ZOR.ini, the mode's files from their compact text,
    // 個別データ.sna and 敵パラメータ.sna unless given); fails the test on a file not written.
    void writeMode(const QString& mode, const QString& files = QString(),
                   const QStringList& options = {QStringLiteral("DefaultNotation=16")}) const;
    // ZOR.ini alone: Mode=mode, and DefaultNotation unless it is empty.
    void writeZorIni(const QString& mode, const QString& defaultNotation = QString()) const;

    // mode/name.idn with ids (at least 1) names and mode/name.sna with sections pairs, every section at
    // offset (hexadecimal), so that the data set has exactly ids IDs and sections sections.
    void writeTable(const QString& mode, const QString& name, int ids, int sections,
                    const QString& offset = QStringLiteral("1000")) const;

private:
    QTemporaryDir dir_;
};

// Text in CP932; fails the test when it has no CP932 form.
QByteArray Cp932(const QString& text);

} // namespace zor::test
