#pragma once

// A document with every kind of typed cell, loaded from a mode folder and an image as a
// user's would be: for the parts that show, shade, chart, find and copy cells.

#include "core/document/ReadImage.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

namespace zor::test {

// 品物 (IDs 剣, 盾, 薬): 価格 16-bit hex, 種別 a byte naming an ID of 種類, 属性 a byte of
// flags (火, bit 1 unnamed, 氷), 差 16-bit signed, 重さ a plain byte, 大 32-bit unsigned.
// 個別データ: お金 16-bit, 名 a byte. Battle byte 3 starts a 16-bit field, so byte 4 lies inside it.
class TypedTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(QStringLiteral("mode"), QStringLiteral(R"(
            品物.idn   剣|盾|薬
            品物.sna   1000|価格|1100|種別|1200|属性|1300|差|1400|重さ|1500|大|
            品物.ini   [Step]|Section1=2|Section4=2|Section6=4|[Size]|Section1=2|Section4=2|Section6=4|[Names]|Section2=種類|[Bits]|Section3=火,,氷|[Notation]|Section4=-10|Section6=10|
            種類.idn   武器|防具|とても長い名前の道具
            種類.sna   1700|数|
            個別データ.sna  1600|お金|1610|名|
            個別データ.ini  [Size]|Section1=2|
            敵パラメータ.ini  [Size]|Section3=2|
        )"));
        const auto put = [&](int offset, QByteArrayView bytes) { rom.image().replace(offset, bytes.size(), bytes.toByteArray()); };
        put(0x1000, QByteArrayView("\x34\x12\xFF\x00\x01\x00", 6)); // 価格 0x1234, 0x00FF, 0x0001
        put(0x1100, QByteArrayView("\x01\x07\x00", 3));             // 種別 防具, no such ID, 武器
        put(0x1200, QByteArrayView("\x05\x00\x02", 3));             // 属性 火・氷, none, bit 1
        put(0x1300, QByteArrayView("\xFF\xFF\x0A\x00\x00\x80", 6)); // 差 -1, 10, -32768
        put(0x1400, QByteArrayView("\xFF\x01\x02", 3));             // 重さ
        put(0x1500, QByteArrayView("\xFF\xFF\xFF\xFF\x01\x00\x00\x00\x00\x00\x01\x00", 12)); // 大
        put(0x1600, QByteArrayView("\xFF\x00", 2));                 // お金 0x00FF
        put(0x1610, QByteArrayView("\xFF", 1));                     // 名
        Record record(kBattleRecordSize, 0x11);
        record[2] = 0xFF; // field 3 is 0x00FF; its byte 4 is 0
        record[3] = 0;
        rom.encode(StreamOf(std::vector<Block>(kBlockCount, Block{record})));
        LoadDocument(doc, home.file(QStringLiteral("game.rom")), rom.image(), home.path());
    }

    static constexpr int kItems = 1; // the data set 品物
    static constexpr int kKinds = 2; // 種類

    ProgramFolder home;
    RomBuilder rom;
    DocumentState doc;
};

} // namespace zor::test
