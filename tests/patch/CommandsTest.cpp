#include "cli/PatchCommand.h"
#include "core/files/ReadFile.h"
#include "core/output/HeaderChecksum.h"
#include "tests/patch/PatchPairs.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;
using test::NoisyImage;

class PatchCommands : public ::testing::Test {
protected:
    QString path(const QString& name) const { return home.file(name); }
    void write(const QString& name, const QByteArray& bytes) const { home.writeBytes(name, bytes); }
    QByteArray read(const QString& name) const { return home.readBytes(name); }
    CommandRun patch(const QStringList& args) const { return Call(RunPatch, absolute(args)); }
    CommandRun apply(const QStringList& args) const { return Call(RunApply, absolute(args)); }
    CommandRun checksum(const QStringList& args) const { return Call(RunChecksum, absolute(args)); }

    QStringList absolute(const QStringList& args) const
    {
        QStringList out;
        for (const QString& arg : args)
            out << (arg.startsWith(u'-') ? arg : path(arg));
        return out;
    }

    test::ProgramFolder home;
};

TEST_F(PatchCommands, PatchThenApplyGivesTheEditedImageBack)
{
    // Changed at both ends, grown, shrunk: the edges are the formats' own tests'; here, that
    // the commands write and read them.
    const QByteArray original = NoisyImage(0x40000);
    const std::vector<QByteArray> edits{QByteArray(original).replace(0, 1, "\0").replace(0x3FFFF, 1, "\x01"), original + "x" + QByteArray(1, '\0'),
                                        original.left(0x30000)};
    write(u"original.rom"_s, original);
    for (const bool ips : {false, true}) {
        for (const QByteArray& edited : edits) {
            SCOPED_TRACE((ips ? "IPS, " : "BPS, ") + std::to_string(edited.size()));
            write(u"edited.rom"_s, edited);
            QStringList args{u"original.rom"_s, u"edited.rom"_s, u"change.patch"_s};
            if (ips)
                args.prepend(u"--ips"_s);
            const CommandRun made = patch(args);
            ASSERT_EQ(made.status, 0) << made.err.toStdString();
            EXPECT_TRUE(read(u"change.patch"_s).startsWith(ips ? "PATCH" : "BPS1"));
            const CommandRun applied = apply({u"change.patch"_s, u"original.rom"_s, u"out.rom"_s});
            ASSERT_EQ(applied.status, 0) << applied.err.toStdString();
            EXPECT_TRUE(read(u"out.rom"_s) == edited);
        }
    }
}

TEST_F(PatchCommands, ExitCodesTellRefusalFromUsageAndUnreadableInput)
{
    write(u"a.rom"_s, NoisyImage(0x1000, 1));
    write(u"b.rom"_s, NoisyImage(0x1000, 2));
    ASSERT_TRUE(QDir(home.path()).mkdir(u"folder"_s));
    {
        QFile huge(path(u"huge.rom"_s)); // sparse: costs no disk
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(kMaxImageSize + 1));
    }
    EXPECT_EQ(patch({u"a.rom"_s, u"b.rom"_s}).status, 2);
    EXPECT_EQ(patch({u"--bps"_s, u"a.rom"_s, u"b.rom"_s, u"p"_s}).status, 2);
    EXPECT_EQ(patch({u"missing.rom"_s, u"b.rom"_s, u"p"_s}).status, 2);
    EXPECT_EQ(patch({u"a.rom"_s, u"folder"_s, u"p"_s}).status, 2);
    EXPECT_EQ(patch({u"huge.rom"_s, u"b.rom"_s, u"p"_s}).status, 2);
    const CommandRun unwritten = patch({u"a.rom"_s, u"b.rom"_s, u"folder"_s}); // the patch can't be written
    EXPECT_TRUE(unwritten.status == 1 && unwritten.err.contains(path(u"folder"_s))) << unwritten.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"p"_s)));

    ASSERT_EQ(patch({u"a.rom"_s, u"b.rom"_s, u"p.bps"_s}).status, 0);
    const CommandRun other = apply({u"p.bps"_s, u"b.rom"_s, u"out.rom"_s}); // made for a.rom
    EXPECT_TRUE(other.status == 1 && other.err.contains(u"別のファイル用"_s)) << other.err.toStdString();
    QByteArray damaged = read(u"p.bps"_s);
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 1);
    write(u"damaged.bps"_s, damaged);
    const CommandRun broken = apply({u"damaged.bps"_s, u"a.rom"_s, u"out.rom"_s});
    EXPECT_TRUE(broken.status == 1 && broken.err.contains(u"壊れて"_s)) << broken.err.toStdString();
    EXPECT_EQ(apply({u"b.rom"_s, u"a.rom"_s, u"out.rom"_s}).status, 1); // no patch at all
    EXPECT_FALSE(QFile::exists(path(u"out.rom"_s)));
    EXPECT_EQ(apply({u"p.bps"_s, u"missing.rom"_s, u"out.rom"_s}).status, 2);
    EXPECT_EQ(apply({u"folder"_s, u"a.rom"_s, u"out.rom"_s}).status, 2);
    EXPECT_EQ(apply({u"p.bps"_s, u"a.rom"_s}).status, 2);
    EXPECT_EQ(apply({u"--ips"_s, u"p.bps"_s, u"a.rom"_s, u"out.rom"_s}).status, 2);
    EXPECT_EQ(apply({u"p.bps"_s, u"a.rom"_s, u"out.rom"_s}).status, 0);
}

TEST_F(PatchCommands, AnOutputNeverReplacesAnInputNorAPipe)
{
    write(u"a.rom"_s, NoisyImage(0x1000, 1));
    write(u"b.rom"_s, NoisyImage(0x1000, 2));
    ASSERT_EQ(patch({u"a.rom"_s, u"b.rom"_s, u"p.bps"_s}).status, 0);
    const QByteArray a = read(u"a.rom"_s), b = read(u"b.rom"_s), p = read(u"p.bps"_s);
    ASSERT_TRUE(QFile::link(path(u"a.rom"_s), path(u"alias.rom"_s)));
    ASSERT_EQ(mkfifo(QFile::encodeName(path(u"pipe"_s)).constData(), 0644), 0);
    for (const auto& [command, args, reason] :
         {std::tuple{&RunPatch, QStringList{u"a.rom"_s, u"b.rom"_s, u"b.rom"_s}, u"変更後のイメージ"_s},
          {RunPatch, {u"a.rom"_s, u"b.rom"_s, u"a.rom"_s}, u"元のイメージ"_s},
          {RunPatch, {u"--ips"_s, u"a.rom"_s, u"b.rom"_s, u"alias.rom"_s}, u"元のイメージ"_s},
          {RunPatch, {u"a.rom"_s, u"b.rom"_s, u"pipe"_s}, u"通常のファイルではありません"_s},
          {RunApply, {u"p.bps"_s, u"a.rom"_s, u"p.bps"_s}, u"パッチ"_s},
          {RunApply, {u"p.bps"_s, u"a.rom"_s, u"alias.rom"_s}, u"元のイメージ"_s},
          {RunApply, {u"p.bps"_s, u"a.rom"_s, u"pipe"_s}, u"通常のファイルではありません"_s}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CommandRun run = Call(command, absolute(args));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(reason)) << run.err.toStdString();
        EXPECT_TRUE(read(u"a.rom"_s) == a && read(u"b.rom"_s) == b && read(u"p.bps"_s) == p);
    }
    EXPECT_TRUE(QFileInfo(path(u"alias.rom"_s)).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(path(u"pipe"_s)) && !QFileInfo(path(u"pipe"_s)).isFile());
}

TEST_F(PatchCommands, IpsPastItsOffsetsIsRefused)
{
    const QByteArray original(0x1000100, '\0');
    QByteArray edited = original;
    edited[0x1000080] = 1;
    write(u"a.rom"_s, original);
    write(u"b.rom"_s, edited);
    const CommandRun refused = patch({u"--ips"_s, u"a.rom"_s, u"b.rom"_s, u"p.ips"_s});
    EXPECT_TRUE(refused.status == 1 && refused.err.contains(u"0xFFFFFF"_s)) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"p.ips"_s)));
    EXPECT_EQ(patch({u"a.rom"_s, u"b.rom"_s, u"p.bps"_s}).status, 0); // BPS has no such limit
}

TEST_F(PatchCommands, ChecksumPrintsComparesAndFixes)
{
    QByteArray image = NoisyImage(0x300000, 5);
    write(u"game.rom"_s, image);
    const CommandRun wrong = checksum({u"game.rom"_s});
    EXPECT_EQ(wrong.status, 1);
    const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
    const QString computed = u"0x"_s + QString::number(sums->checksum, 16).toUpper().rightJustified(4, u'0');
    EXPECT_TRUE(wrong.out.contains(computed)) << wrong.out.toStdString();
    EXPECT_TRUE(read(u"game.rom"_s) == image); // not fixed without --fix

    const CommandRun fixed = checksum({u"--fix"_s, u"game.rom"_s});
    EXPECT_EQ(fixed.status, 0) << fixed.err.toStdString();
    ASSERT_TRUE(FixHeaderChecksum(image));
    EXPECT_TRUE(read(u"game.rom"_s) == image);
    EXPECT_EQ(checksum({u"game.rom"_s}).status, 0);
    EXPECT_EQ(checksum({u"--fix"_s, u"game.rom"_s}).status, 0);

    write(u"small.rom"_s, QByteArray(0x7FFF, '\0'));
    const CommandRun small = checksum({u"small.rom"_s});
    EXPECT_TRUE(small.status == 2 && small.err.contains(u"ヘッダがありません"_s)) << small.err.toStdString();
    for (const QStringList& args : {QStringList{u"--fix"_s, u"small.rom"_s}, {u"missing.rom"_s}, {}, {u"game.rom"_s, u"small.rom"_s}})
        EXPECT_EQ(checksum(args).status, 2) << args.join(u' ').toStdString();
    EXPECT_EQ(read(u"small.rom"_s), QByteArray(0x7FFF, '\0'));
}

} // namespace
} // namespace zor
