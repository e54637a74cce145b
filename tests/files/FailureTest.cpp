#include "core/files/Failure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

TEST(Failure, MessagesNameTheStepTheReasonAndWhatWasLeft)
{
    const Failure full = Failure::FromErrno(u"/a.rom"_s, ENOSPC, FileAccess::Write);
    EXPECT_EQ(full.said(u"/a.rom に書き込めません"_s, u"ファイルは元のままです。"_s).message(),
              u"/a.rom に書き込めません（ディスクの空きが足りません）。ファイルは元のままです。"_s);
    EXPECT_EQ(full.message(), u"ディスクの空きが足りません。"_s);
    EXPECT_EQ(full.said(u"/a.rom を保存できません。"_s).message(), u"/a.rom を保存できません。ディスクの空きが足りません。"_s);
    EXPECT_TRUE(Failure::FromErrno(u"x"_s, ENOENT, FileAccess::Read).missing());
    EXPECT_FALSE(full.missing());

    // A detail built where the failure is known says why instead of the kind; a sentence keeps its one full stop.
    Failure refused = Failure::Of(Failure::Kind::Refused, u"クラス.csv"_s, u"値が足りません。"_s);
    EXPECT_EQ(refused.message(), u"値が足りません。"_s);
    refused.after = u"何も変えていません。"_s;
    EXPECT_EQ(refused.message(), u"値が足りません。何も変えていません。"_s);

    // A failure said again keeps its first message as the reason.
    Failure tooLarge = Failure::TooLargeFile(u"big.ini"_s, 16 * 1024 * 1024);
    EXPECT_EQ(tooLarge.said(u"big.ini を読めません"_s).said(u"メモを書けません"_s).message(),
              u"メモを書けません（big.ini を読めません（ファイルが大きすぎます（上限は 16 MiB）））。"_s);
    tooLarge.limit = 3;
    EXPECT_EQ(tooLarge.reason(), u"ファイルが大きすぎます（上限は 3 バイト）"_s);
}

TEST(Failure, ReasonsAreJapaneseFromTheErrorCode)
{
    using A = FileAccess;
    for (const auto& [code, access, reason] : {std::tuple{ENOSPC, A::Write, u"ディスクの空きが足りません"_s}, {EFBIG, A::Write, u"ディスクの空きが足りません"_s},
                                               {EROFS, A::Write, u"読み取り専用のファイルシステムです"_s}, {EACCES, A::Write, u"書き込みが許可されていません"_s},
                                               {EPERM, A::Write, u"書き込みが許可されていません"_s}, {EACCES, A::Read, u"読み取りが許可されていません"_s},
                                               {EPERM, A::Read, u"読み取りが許可されていません"_s}, {EISDIR, A::Write, u"フォルダです"_s},
                                               {ENOENT, A::Read, u"ファイルが見つかりません"_s}})
        EXPECT_EQ(ErrnoReason(code, access), reason) << code;
    // Codes without their own text keep their number.
    EXPECT_TRUE(ErrnoReason(EPROTO, FileAccess::Read).contains(QString::number(EPROTO)));
    for (const int code : {ENOTDIR, ENAMETOOLONG, EIO, ELOOP, EMFILE, EPROTO}) {
        const QString reason = ErrnoReason(code, FileAccess::Read);
        EXPECT_TRUE(std::none_of(reason.begin(), reason.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; }))
            << reason.toStdString();
    }
}

TEST(Result, HoldsAValueOrItsFailure)
{
    const Result<int> value = 7;
    EXPECT_TRUE(value.ok() && value == 7);
    EXPECT_THROW(static_cast<void>(value.failure()), std::bad_variant_access);
    const Result<QString> failed = Failure::Of(Failure::Kind::BadText, u"1:2"_s, u"読めません"_s);
    EXPECT_EQ(std::tuple(failed.ok(), failed.failure().place, failed.value_or(u"空"_s)), std::tuple(false, u"1:2"_s, u"空"_s));
    EXPECT_THROW(static_cast<void>(*failed), std::bad_variant_access);
    EXPECT_TRUE(Result<void>().ok());
    const Result<void> none = Failure::Of(Failure::Kind::Exists, u"a"_s, QString());
    EXPECT_EQ(none.failure().message(), u"すでにあります。"_s);
}

} // namespace
} // namespace zor
