#include "cli/BattleCommand.h"

#include "cli/CommandOptions.h"

#include "core/codec/BattleCodec.h"
#include "core/document/BattleRecords.h"
#include "core/document/ReadImage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zor {

namespace {

const QString kUsage = QStringLiteral("使い方: zor-cli battle ROM [--json]\n");

QString RecordHex(const BattleRecords& records, int record, QChar separator)
{
    QString text;
    text.reserve(3 * kRecordSize);
    for (int j = 1; j <= kRecordSize; ++j) {
        if (!separator.isNull() && j > 1)
            text += separator;
        text += QStringLiteral("%1").arg(records.params(j, record), 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

int GroupCount(const BattleRecords& records) { return records.count > 0 ? records.separators + 1 : 0; }

} // namespace

int RunBattle(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<CommandOptions> options = ParseCommandOptions(args, false, true);
    if (!options) {
        err << kUsage;
        return 2;
    }
    const QString& path = options->file;
    const bool json = options->json;

    const Result<QByteArray> image = ReadRomImage(path);
    if (!image) {
        err << image.failure().said(QStringLiteral("イメージファイル %1 を読めません。").arg(path)).message() << u'\n';
        return 1;
    }
    BattleCodec codec;
    StreamArray stream;
    BattleRecords records;
    try {
        codec.DecodeBattleBlocks(stream, *image);
        records = SplitBattleStream(NdArray<std::uint8_t, 1>::FromElements(std::move(stream)));
    } catch (const CodecError& e) {
        err << QStringLiteral("%1: 戦闘パラメータを読めません。%2\n").arg(path, e.message());
        return 1;
    }

    if (json) {
        QJsonArray blocks;
        for (int g = 0; g < GroupCount(records); ++g) {
            QJsonArray block;
            const RecordRange range = GroupRecords(records, g);
            for (int i = range.first; i <= range.last; ++i)
                block.append(RecordHex(records, i, QChar()));
            blocks.append(block);
        }
        const QJsonObject report{{QStringLiteral("dictionaryBase"), codec.DictionaryBase()},
                                 {QStringLiteral("blocks"), blocks}};
        out << QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)) << '\n';
        return 0;
    }
    out << QStringLiteral("辞書の位置: %1\n").arg(HexOffset(codec.DictionaryBase()));
    out << QStringLiteral("レコード: %1 個、ブロック: %2 個\n").arg(records.count).arg(GroupCount(records));
    for (int g = 0; g < GroupCount(records); ++g) {
        const RecordRange range = GroupRecords(records, g);
        for (int i = range.first; i <= range.last; ++i)
            out << QStringLiteral("ブロック %1  レコード %2  %3\n").arg(g + 1).arg(i).arg(RecordHex(records, i, u' '));
    }
    return 0;
}

} // namespace zor
