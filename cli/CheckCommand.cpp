#include "cli/CheckCommand.h"

#include "cli/CommandOptions.h"

#include "core/files/ProgramFolder.h"
#include "core/document/Definitions.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

namespace zor {

QString ResolveProgramFolder(const QString& home)
{
    // The commands only read the program folder, so a missing one is never made.
    return home.isEmpty() ? ProgramFolderToRead() : QDir(home).absolutePath();
}

QJsonArray ProblemsJson(const ProblemLog& log)
{
    QJsonArray problems;
    for (const Problem& p : log.items())
        problems.append(QJsonObject{
            {QStringLiteral("file"), p.file},
            {QStringLiteral("line"), p.line},
            {QStringLiteral("message"), p.message},
        });
    return problems;
}

QJsonObject WithType(QJsonObject object, const DocumentState& doc, const CellType& type)
{
    object.insert(QStringLiteral("size"), type.Size);
    object.insert(QStringLiteral("names"),
                  type.NamesDataSet > 0 ? QJsonValue(doc.DataSets(type.NamesDataSet).Name) : QJsonValue());
    object.insert(QStringLiteral("bits"),
                  type.Bits ? QJsonValue(QJsonArray::fromStringList(*type.Bits)) : QJsonValue());
    return object;
}

QJsonObject DefinitionsReport(const DocumentState& doc, const ZorSettings& settings, const ProblemLog& log)
{
    QJsonArray dataSets;
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const DataSet& set = doc.DataSets(k);
        QJsonArray idNames;
        for (int n = 1; n <= set.IdCount; ++n)
            idNames.append(set.IdNames(n));
        QJsonArray sections;
        for (int q = 1; q <= set.SectionCount; ++q)
            sections.append(WithType(QJsonObject{
                {QStringLiteral("offset"), set.SectionAddressUnusable(q) ? QJsonValue() : QJsonValue(set.SectionAddresses(q))},
                {QStringLiteral("caption"), set.SectionNames(q)},
                {QStringLiteral("step"), set.SectionSettings(SettingStep, q)},
                {QStringLiteral("notation"), set.SectionSettings(SettingNotation, q)},
            }, doc, SectionType(doc, TabIdSection, k, q)));
        dataSets.append(QJsonObject{
            {QStringLiteral("name"), set.Name},
            {QStringLiteral("idCount"), set.IdCount},
            {QStringLiteral("idNames"), idNames},
            {QStringLiteral("sections"), sections},
        });
    }
    QJsonArray individual;
    for (int e = 1; e <= doc.IndividualCount; ++e)
        individual.append(WithType(QJsonObject{
            {QStringLiteral("offset"), doc.IndividualAddressUnusable(e) ? QJsonValue() : QJsonValue(doc.IndividualAddresses(e))},
            {QStringLiteral("name"), doc.IndividualNames(e)},
            {QStringLiteral("notation"), doc.IndividualSettings(SettingNotation, e)},
        }, doc, SectionType(doc, TabIndividual, 0, e)));
    QJsonArray battle;
    for (int j = 1; j <= kBattleRecordSize; ++j)
        battle.append(WithType(QJsonObject{
            {QStringLiteral("caption"), doc.BattleSectionNames(j)},
            {QStringLiteral("notation"), doc.BattleSettings(SettingNotation, j)},
        }, doc, SectionType(doc, TabBattle, 0, j)));
    return QJsonObject{
        {QStringLiteral("mode"), doc.ModeName},
        {QStringLiteral("modeFolder"), doc.ModeFolder},
        {QStringLiteral("defaultNotation"),
         settings.NotRead.isEmpty() ? QJsonValue(doc.SettingDefaults(SettingNotation)) : QJsonValue()},
        {QStringLiteral("classDataSet"), doc.ClassDataSet},
        {QStringLiteral("dataSets"), dataSets},
        {QStringLiteral("individual"), individual},
        {QStringLiteral("battle"), battle},
        {QStringLiteral("problems"), ProblemsJson(log)},
    };
}

namespace {

// A typed section's type after its line; nothing for a one-byte number, whose line stays as it was.
QString TypeText(const DocumentState& doc, const CellType& type)
{
    QString text;
    if (type.Size != 1)
        text += QStringLiteral("  %1 バイト").arg(type.Size);
    if (type.NamesDataSet > 0)
        text += QStringLiteral("  名前「%1」").arg(doc.DataSets(type.NamesDataSet).Name);
    if (type.Bits)
        text += QStringLiteral("  ビット %1").arg(type.Bits->join(u','));
    return text;
}

void PrintSummary(const DocumentState& doc, const ZorSettings& settings, const ProblemLog& log, QTextStream& out)
{
    out << QStringLiteral("モード: %1\n").arg(doc.ModeName.isEmpty() ? QStringLiteral("（なし）") : doc.ModeName);
    out << QStringLiteral("モードフォルダ: %1\n").arg(doc.ModeFolder);
    if (settings.NotRead.isEmpty())
        out << QStringLiteral("既定の表記: %1\n").arg(doc.SettingDefaults(SettingNotation));
    else
        out << QStringLiteral("既定の表記: ZOR.ini を読めません（%1）\n").arg(settings.NotRead);
    out << QStringLiteral("データセット: %1 個（クラス: %2）\n")
               .arg(doc.DataSetCount)
               .arg(doc.ClassDataSet == 0 ? QStringLiteral("なし") : QString::number(doc.ClassDataSet));
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const DataSet& set = doc.DataSets(k);
        out << QStringLiteral("%1. %2  ID %3 個、セクション %4 個\n").arg(k).arg(set.Name).arg(set.IdCount).arg(set.SectionCount);
        for (int q = 1; q <= set.SectionCount; ++q)
            out << QStringLiteral("   %1. オフセット %2  「%3」  間隔 %4  表記 %5%6\n")
                       .arg(q)
                       .arg(set.SectionAddressUnusable(q) ? QStringLiteral("読めません")
                                                          : QString::number(set.SectionAddresses(q), 16).toUpper())
                       .arg(set.SectionNames(q))
                       .arg(set.SectionSettings(SettingStep, q))
                       .arg(set.SectionSettings(SettingNotation, q))
                       .arg(TypeText(doc, SectionType(doc, TabIdSection, k, q)));
    }
    PrintProblems(log, out);
}

} // namespace

int RunCheck(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<CommandOptions> options = ParseCommandOptions(args, true, false);
    if (!options) {
        err << QStringLiteral("使い方: zor-cli check [--home DIR] [--json]\n");
        return 2;
    }
    const QString programFolder = ResolveProgramFolder(options->home);
    DocumentState doc;
    ProblemLog log(programFolder);
    const ZorSettings settings = ReadZorSettings(programFolder, log);
    LoadDefinitions(doc, programFolder, settings, log);
    if (options->json)
        out << QString::fromUtf8(QJsonDocument(DefinitionsReport(doc, settings, log)).toJson(QJsonDocument::Compact)) << '\n';
    else
        PrintSummary(doc, settings, log, out);
    return log.empty() ? 0 : 1;
}

} // namespace zor
