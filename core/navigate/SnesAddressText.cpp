#include "core/navigate/SnesAddressText.h"

#include "core/codec/SnesAddress.h"
#include "core/files/Numbers.h"

namespace zor {

namespace {

QString Normalized(QStringView typed) { return typed.toString().normalized(QString::NormalizationForm_KC).trimmed(); }

QString Hex(std::int64_t value, int width) { return QString::number(value, 16).toUpper().rightJustified(width, u'0'); }

Failure Refused(const QString& why) { return Failure::Of(Failure::Kind::BadText, QString(), why); }

} // namespace

QString OffsetText(std::int64_t offset)
{
    const QString digits = QString::number(offset < 0 ? -offset : offset, 16).toUpper().rightJustified(6, u'0');
    return (offset < 0 ? QStringLiteral("-0x") : QStringLiteral("0x")) + digits;
}

QString SnesAddressText(std::int64_t offset)
{
    if (offset < 0 || offset > 0x3FFFFF)
        return QString();
    const std::optional<SnesAddress> address = OffsetToSnesAddress(static_cast<std::int32_t>(offset));
    if (!address)
        return QString();
    return QStringLiteral("$%1:%2").arg(Hex(address->bank, 2), Hex(address->high * 0x100 + address->low, 4));
}

Result<std::int64_t> ParseOffsetText(QStringView typed)
{
    const QString normalized = Normalized(typed);
    QStringView text(normalized);
    const QString form = QStringLiteral("オフセットは「@」と 16 進数 8 桁までで入力してください（例: @61002）。");
    if (!text.startsWith(u'@'))
        return Refused(form);
    text = text.mid(1).trimmed();
    if (text.startsWith(u"0x", Qt::CaseInsensitive))
        text = text.mid(2);
    const std::optional<std::uint32_t> offset = HexDigitsValue(text, 8);
    if (!offset)
        return Refused(form);
    return std::int64_t{*offset};
}

Result<std::int64_t> ParseSnesAddress(QStringView typed)
{
    const QString normalized = Normalized(typed);
    QStringView text(normalized);
    const QString form = QStringLiteral("SNES アドレスは $BB:AAAA の形で、16 進数で入力してください（例: $8C:9002）。");
    if (!text.startsWith(u'$'))
        return Refused(form);
    text = text.mid(1);
    QStringView bankText;
    QStringView addressText;
    if (const qsizetype colon = text.indexOf(u':'); colon >= 0) {
        bankText = text.left(colon);
        addressText = text.mid(colon + 1);
    } else if (text.size() == 6) {
        bankText = text.left(2);
        addressText = text.mid(2);
    } else {
        return Refused(form);
    }
    const std::optional<std::uint32_t> bank = HexDigitsValue(bankText, 2);
    const std::optional<std::uint32_t> address = HexDigitsValue(addressText, 4);
    if (!bank || !address)
        return Refused(form);
    if (*bank == 0x7E || *bank == 0x7F)
        return Refused(QStringLiteral("バンク $%1 は RAM で、イメージにはありません。バンクは $80〜$FF（または $00〜$7D）です。")
                           .arg(Hex(*bank, 2)));
    if (*address < 0x8000)
        return Refused(QStringLiteral("アドレス $%1 はイメージにありません。バンクの中のアドレスは $8000〜$FFFF です。")
                           .arg(Hex(*address, 4)));
    // Banks $00-$7D mirror $80-$FD.
    const std::int64_t mapped = *bank < 0x80 ? *bank + 0x80 : *bank;
    return std::int64_t{SnesAddressToOffset(static_cast<std::uint8_t>(*address & 0xFF), static_cast<std::uint8_t>(*address >> 8),
                                            static_cast<std::uint8_t>(mapped))};
}

} // namespace zor
