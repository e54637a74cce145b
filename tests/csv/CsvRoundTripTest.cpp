// Whatever the definitions, the import reads what the export writes as no change.

#include "core/csv/CsvExport.h"
#include "core/csv/CsvImport.h"
#include "core/document/ReadImage.h"

#include "tests/support/ModeFolder.h"
#include "tests/support/HandTables.h"

#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Cp932;

class RandomDefinitions {
public:
    // Each seed names things from its own few pieces, so that some files hold only ASCII
    // and some only one kind of character.
    explicit RandomDefinitions(unsigned seed) : random_(seed)
    {
        for (const QByteArray& piece : {QByteArray("a"), QByteArray(","), QByteArray("\""), QByteArray("\"\""), QByteArray(" "),
                                        QByteArray("\t"), QByteArray("?"), QByteArray(",\""), Cp932(u"剣"_s), QByteArray("\x80"),
                                        Cp932(u"燿ｱ"_s)})
            if (pick(1) == 1)
                pieces_.push_back(piece);
    }

    // A name of a few pieces: commas, quotes, blanks, bytes that aren't CP932, characters
    // whose bytes are UTF-8 too (燿ｱ, E0 A0 B1); often none.
    QByteArray name()
    {
        QByteArray text;
        for (int n = pieces_.empty() ? 0 : pick(4); n > 0; --n)
            text += pieces_[static_cast<std::size_t>(pick(static_cast<int>(pieces_.size()) - 1))];
        return text;
    }

    // Lines joined by CRLF, with or without a break after the last.
    static QByteArray lines(const QList<QByteArray>& lines, bool finalBreak)
    {
        return lines.join("\r\n") + (finalBreak && !lines.isEmpty() ? "\r\n" : "");
    }

    // Offset and name pairs, an offset now and then unreadable.
    QByteArray pairs(int count)
    {
        QList<QByteArray> text;
        for (int q = 0; q < count; ++q)
            text << (pick(8) == 0 ? QByteArray("G") : QByteArray::number(pick(kImageSize - 1), 16)) << name();
        return lines(text, true);
    }

    // Notation codes of sections 1..count (a section without one takes DefaultNotation), and steps.
    QByteArray settings(int count)
    {
        static const std::vector<QByteArray> codes{"16", "10", "-10", "0", "7"};
        QList<QByteArray> text{"[Notation]"};
        for (int q = 1; q <= count; ++q)
            if (pick(5) > 0)
                text << "Section" + QByteArray::number(q) + "=" + codes[static_cast<std::size_t>(pick(4))];
        text << "[Step]";
        for (int q = 1; q <= count; ++q)
            text << "Section" + QByteArray::number(q) + "=" + QByteArray::number(pick(3) + 1);
        return lines(text, true);
    }

    void write(const test::ProgramFolder& home)
    {
        static const std::vector<QByteArray> defaults{"", "DefaultNotation=16", "DefaultNotation=10", "DefaultNotation=-10",
                                                      "DefaultNotation=7"};
        static const std::vector<QByteArray> csv{"", "CSVNotation=16", "CSVNotation=10", "CSVNotation=-10", "CSVNotation=016"};
        home.writeBytes(u"ZOR.ini"_s, lines({"[Option]", "Mode=m", defaults[static_cast<std::size_t>(pick(4))],
                                             csv[static_cast<std::size_t>(pick(4))]},
                                            true));
        // Data sets without sections and with, their IDs nameless from an empty name on and
        // after an .idn's final break; two names that differ only in letter case.
        static const std::vector<QString> sets{u"クラス"_s, u"表"_s, u"a"_s, u"A"_s, u"x,y"_s};
        for (const QString& set : sets) {
            if (pick(2) == 0)
                continue;
            QList<QByteArray> ids;
            for (int n = pick(5); n >= 0; --n)
                ids << name();
            home.writeBytes(u"m/"_s + set + u".idn"_s, lines(ids, pick(1) == 1));
            const int sections = pick(3) == 0 ? 0 : pick(4);
            home.writeBytes(u"m/"_s + set + u".sna"_s, pairs(sections));
            home.writeBytes(u"m/"_s + set + u".ini"_s, settings(sections));
        }
        const int entries = pick(4);
        home.writeBytes(u"m/個別データ.sna"_s, pairs(entries));
        home.writeBytes(u"m/個別データ.ini"_s, settings(entries));
        home.writeBytes(u"m/敵パラメータ.sna"_s, pairs(kBattleRecordSize));
        home.writeBytes(u"m/敵パラメータ.ini"_s, settings(kBattleRecordSize));
    }

    QByteArray image()
    {
        QByteArray bytes(kImageSize, '\0');
        for (char& b : bytes)
            b = static_cast<char>(pick(255));
        return bytes;
    }

    // Battle records set by hand (the image holds none): a first byte of 1..255, the rest any.
    void battle(DocumentState& doc)
    {
        test::SetBattleRecords(doc, pick(3), [&](int c, int) { return c == 1 ? pick(254) + 1 : pick(255); });
    }

    // 0..max, evenly.
    int pick(int max) { return std::uniform_int_distribution<int>(0, max)(random_); }

private:
    static constexpr int kImageSize = 0x8000;
    std::mt19937 random_;
    std::vector<QByteArray> pieces_;
};

// Every file the export would write, checked as the import checks a file it read.
CsvImportResult CheckExport(const DocumentState& doc, CsvNotation notation)
{
    CsvImportResult result;
    CsvBuilder builder(doc, notation);
    for (const CsvTable& table : CsvTables(doc)) {
        const std::string bytes = builder.build(table)->bytes;
        CheckCsvFile(doc, notation, table, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), result);
    }
    return result;
}

TEST(CsvRoundTrip, WhatTheExportWritesImportsAsNoChange)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        RandomDefinitions random(seed);
        test::ProgramFolder home;
        random.write(home);
        DocumentState doc;
        LoadDocument(doc, home.file(u"x.rom"_s), random.image(), home.path());
        random.battle(doc);

        std::vector<CsvImportResult> imports{CheckExport(doc, ReadCsvNotation(home.path()))};
        // Through files now and then: each write is flushed to the disk, which takes its time.
        if (seed % 20 == 0) {
            const CsvExportResult exported = ExportCsv(doc, home.path(), home.path());
            ASSERT_TRUE(exported.ok()) << exported.outcome.failure().message().toStdString();
            imports.push_back(ImportCsv(doc, home.path()));
        }
        for (const CsvImportResult& imported : imports) {
            ASSERT_TRUE(imported.ok()) << imported.summary().toStdString();
            EXPECT_TRUE(imported.changes.empty());
            EXPECT_TRUE(imported.notes.isEmpty()) << imported.notes.join(u'\n').toStdString();
        }
    }
}

} // namespace
} // namespace zor
