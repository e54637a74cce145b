#pragma once

// The mode the view tests load: data sets クラス (1: なし, 戦士, an empty name, 僧侶) and 表
// (2: IDs いち and に; sections ちから, one without a caption and a long one, in the three
// notations), one individual entry of an unknown notation code, the battle captions, and
// three battle records of classes 1, 2 (an empty name) and 200 (none). ZOR.ini has no
// DefaultNotation; the image is all zero but for 0x80 in 表's first row and 0x0A in the entry.

#include "core/document/ReadImage.h"
#include "tests/support/HandTables.h"
#include "tests/support/ModeFolder.h"

#include <gtest/gtest.h>

#include <array>

namespace zor::test {

class SmallMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(QStringLiteral("mode"), QStringLiteral(R"(
            クラス.idn      なし|戦士||僧侶
            クラス.sna      100|HP|
            表.idn          いち|に
            表.sna          200|ちから|210||220|とても長い見出しです|
            表.ini          [Notation]|Section1=16|Section2=10|Section3=-10|
            個別データ.sna  300|お金|
            個別データ.ini  [Notation]|Section1=7|
        )"), {});
        QByteArray image(0x400, '\0');
        image.replace(0x200, 1, "\x80").replace(0x210, 1, "\x80").replace(0x220, 1, "\x80").replace(0x300, 1, "\x0A");
        LoadDocument(doc, home.file(QStringLiteral("x.rom")), image, home.path());
        ASSERT_EQ(doc.DataSets(table).Name, QStringLiteral("表"));
        SetBattleRecords(doc, 3, [](int c, int r) { return c == 1 ? std::array{1, 2, 200}[r - 1] : 0; });
    }

    static constexpr int table = 2;
    ProgramFolder home;
    DocumentState doc;
};

} // namespace zor::test
