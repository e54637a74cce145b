#include "cli/DumpCommand.h"

#include "cli/CheckCommand.h"
#include "cli/CommandOptions.h"
#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/view/Grid.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace zor {

namespace {

const QString kUsage = QStringLiteral("使い方: zor-cli dump [--home DIR] ROM [--json]\n");

int NotationCode(const DocumentState& doc, int tab, int dataSet, int section)
{
    const std::int16_t* code = SectionSetting(doc, SettingNotation, tab, dataSet, section);
    return code ? *code : 0;
}

QJsonArray DataSetsJson(const DocumentState& doc)
{
    QJsonArray dataSets;
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const DataSet& set = doc.DataSets(k);
        QJsonArray idNames;
        for (int n = 1; n <= set.IdCount; ++n)
            idNames.append(set.IdNames(n));
        QJsonArray sections;
        for (int q = 1; q <= set.SectionCount; ++q) {
            QJsonArray bytes;
            QJsonArray values;
            for (int n = 0; n < set.IdCount; ++n) {
                const CellSpan cell = CellSpanOf(doc, {TabIdSection, k, q, n + 1});
                bytes.append(int{cell[0]});
                values.append(qint64{cell.value()});
            }
            sections.append(WithType(QJsonObject{
                {QStringLiteral("offset"), set.SectionAddresses(q)},
                {QStringLiteral("caption"), set.SectionNames(q)},
                {QStringLiteral("step"), set.SectionSettings(SettingStep, q)},
                {QStringLiteral("notation"), NotationCode(doc, TabIdSection, k, q)},
                {QStringLiteral("bytes"), bytes},
                {QStringLiteral("values"), values},
            }, doc, SectionType(doc, TabIdSection, k, q)));
        }
        dataSets.append(QJsonObject{
            {QStringLiteral("name"), set.Name},
            {QStringLiteral("idCount"), set.IdCount},
            {QStringLiteral("idNames"), idNames},
            {QStringLiteral("sections"), sections},
        });
    }
    return dataSets;
}

QJsonObject BattleJson(const DocumentState& doc)
{
    QJsonArray names;
    QJsonArray notations;
    QJsonArray sizes;
    QJsonArray linked;
    QJsonArray bits;
    for (int j = 1; j <= kBattleRecordSize; ++j) {
        names.append(doc.BattleSectionNames(j));
        notations.append(NotationCode(doc, TabBattle, 0, j));
        const QJsonObject type = WithType({}, doc, CellTypeOf(doc, {TabBattle, 0, j, 1}));
        sizes.append(type[QStringLiteral("size")]);
        linked.append(type[QStringLiteral("names")]);
        bits.append(type[QStringLiteral("bits")]);
    }
    QJsonArray groupStarts;
    for (int g = 1; g <= kBattleBlockCount; ++g)
        groupStarts.append(doc.GroupStarts(g));
    QJsonArray labels;
    QJsonArray records;
    QJsonArray values;
    for (int i = 1; i <= doc.BattleCount(); ++i) {
        labels.append(BattleRowLabel(doc, i));
        QJsonArray record;
        QJsonArray recordValues;
        for (int j = 1; j <= kBattleRecordSize; ++j) {
            record.append(int{doc.BattleParams(j, i)});
            recordValues.append(qint64{*CellValueOf(doc, {TabBattle, 0, j, i})});
        }
        records.append(record);
        values.append(recordValues);
    }
    return QJsonObject{
        {QStringLiteral("sectionNames"), names}, {QStringLiteral("notations"), notations},
        {QStringLiteral("sizes"), sizes},         {QStringLiteral("names"), linked},
        {QStringLiteral("bits"), bits},           {QStringLiteral("count"), doc.BattleCount()},
        {QStringLiteral("groupStarts"), groupStarts}, {QStringLiteral("labels"), labels},
        {QStringLiteral("records"), records},     {QStringLiteral("values"), values},
    };
}

QString Hex(qint64 value) { return QString::number(value, 16).toUpper(); }

// The notation a section's values are printed in, named as the status bar names it.
QString ShownNotationName(const DocumentState& doc, int tab, int dataSet, int section)
{
    return NotationName(ShownNotation(doc, tab, dataSet, section));
}

void PrintDocument(const DocumentState& doc, qsizetype romSize, const ProblemLog& log, QTextStream& out)
{
    out << QStringLiteral("モード: %1\n").arg(doc.ModeName.isEmpty() ? QStringLiteral("（なし）") : doc.ModeName);
    out << QStringLiteral("モードフォルダ: %1\n").arg(doc.ModeFolder);
    out << QStringLiteral("イメージ: %1 バイト\n").arg(romSize);
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const DataSet& set = doc.DataSets(k);
        out << QStringLiteral("\n[%1] ID %2 個、セクション %3 個\n").arg(set.Name).arg(set.IdCount).arg(set.SectionCount);
        for (int q = 1; q <= set.SectionCount; ++q) {
            out << QStringLiteral("  %1（オフセット %2、間隔 %3、%4）:")
                       .arg(set.SectionNames(q), Hex(set.SectionAddresses(q)))
                       .arg(set.SectionSettings(SettingStep, q))
                       .arg(ShownNotationName(doc, TabIdSection, k, q));
            for (int n = 0; n < set.IdCount; ++n)
                out << u' ' << FormatCellValue(doc, {TabIdSection, k, q, n + 1}, *CellValueOf(doc, {TabIdSection, k, q, n + 1}));
            out << u'\n';
        }
    }
    out << QStringLiteral("\n[個別データ] %1 個\n").arg(doc.IndividualCount);
    for (int j = 1; j <= doc.IndividualCount; ++j)
        out << QStringLiteral("  %1（オフセット %2、%3）: %4\n")
                   .arg(doc.IndividualNames(j), Hex(doc.IndividualAddresses(j)), ShownNotationName(doc, TabIndividual, 0, j),
                        FormatCellValue(doc, {TabIndividual, 0, 1, j}, *CellValueOf(doc, {TabIndividual, 0, 1, j})));
    out << QStringLiteral("\n[戦闘パラメータ] %1 件\n").arg(doc.BattleCount());
    for (int j = 1; j <= kBattleRecordSize; ++j)
        out << QStringLiteral("  %1. %2（%3）\n").arg(j).arg(doc.BattleSectionNames(j), ShownNotationName(doc, TabBattle, 0, j));
    for (int i = 1; i <= doc.BattleCount(); ++i) {
        out << QStringLiteral("  %1（ブロック %2）%3:").arg(i, 4).arg(BattleBlockOf(doc, i)).arg(BattleRowLabel(doc, i));
        for (int j = 1; j <= kBattleRecordSize; ++j)
            out << u' ' << FormatCellValue(doc, {TabBattle, 0, j, i}, *CellValueOf(doc, {TabBattle, 0, j, i}));
        out << u'\n';
    }
    out << u'\n';
    PrintProblems(log, out);
}

} // namespace

QJsonObject DocumentReport(const DocumentState& doc, qsizetype romSize, const ProblemLog& log)
{
    QJsonArray individual;
    for (int j = 1; j <= doc.IndividualCount; ++j) {
        const CellSpan cell = CellSpanOf(doc, {TabIndividual, 0, 1, j});
        individual.append(WithType(QJsonObject{
            {QStringLiteral("offset"), doc.IndividualAddresses(j)},
            {QStringLiteral("name"), doc.IndividualNames(j)},
            {QStringLiteral("notation"), NotationCode(doc, TabIndividual, 0, j)},
            {QStringLiteral("byte"), int{cell[0]}},
            {QStringLiteral("value"), qint64{cell.value()}},
        }, doc, SectionType(doc, TabIndividual, 0, j)));
    }
    return QJsonObject{
        {QStringLiteral("mode"), doc.ModeName},
        {QStringLiteral("modeFolder"), doc.ModeFolder},
        {QStringLiteral("romSize"), static_cast<qint64>(romSize)},
        {QStringLiteral("dataSets"), DataSetsJson(doc)},
        {QStringLiteral("individual"), individual},
        {QStringLiteral("battle"), BattleJson(doc)},
        {QStringLiteral("problems"), ProblemsJson(log)},
    };
}

int RunDump(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<CommandOptions> options = ParseCommandOptions(args, true, true);
    if (!options) {
        err << kUsage;
        return 2;
    }
    const std::unique_ptr<LoadedImage> loaded = LoadImageForCommand(options->file, options->home, err);
    if (!loaded)
        return 1;
    if (options->json)
        out << QString::fromUtf8(QJsonDocument(DocumentReport(loaded->doc, loaded->imageSize, loaded->doc.Problems)).toJson(QJsonDocument::Compact))
            << '\n';
    else
        PrintDocument(loaded->doc, loaded->imageSize, loaded->doc.Problems, out);
    return loaded->doc.Problems.empty() ? 0 : 1;
}

} // namespace zor
