#pragma once

// A throw-away program folder for tests, with helpers that write definition and
// settings files the way a user's editor would: CP932, CRLF unless told otherwise.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

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

    // mode/敵パラメータ.sna with pairs count: offset j - 1 in hexadecimal, caption prefix + j.
    void writeBattleCaptions(const QString& mode, const QString& prefix, int count = 25) const;

    // mode/個別データ.sna with one entry and mode/敵パラメータ.sna with 25 captions, so that a
    // load of the mode misses neither.
    void writeTabTables(const QString& mode) const;

    // mode/name.idn with ids (at least 1) names and mode/name.sna with sections pairs, every section at
    // offset (hexadecimal), so that the data set has exactly ids IDs and sections sections.
    void writeTable(const QString& mode, const QString& name, int ids, int sections,
                    const QString& offset = QStringLiteral("1000")) const;

    // ZOR.ini with [Option] Mode (and DefaultNotation unless empty).
    void writeZorIni(const QString& mode, const QString& defaultNotation = QString()) const;

private:
    QTemporaryDir dir_;
};

// Text in CP932; fails the test when it has no CP932 form.
QByteArray Cp932(const QString& text);

} // namespace zor::test
