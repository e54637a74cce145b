#pragma once

// The sample program folder: ZOR.ini, a mode folder with a few data sets, the
// individual data and the battle parameters, and a 4 MB image that matches them.
// Every value in it is made up.

#include "core/document/NdArray.h"
#include "core/files/Failure.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace zor {

struct SampleFile {
    QString path; // relative to the program folder, '/' separated
    QByteArray bytes;
};

inline constexpr std::int32_t kSampleDictionaryBase = 0x2A0000; // bank $D4, $8000
QString SampleModeName();
QString SampleImageName();

// The battle stream the sample image holds: 314 blocks of 1 to 3 records each.
NdArray<std::uint8_t, 1> SampleBattleStream();

// The 4096 bytes of the sample dictionary; the records reuse runs of it.
QByteArray SampleDictionary();

// The 4 MB sample image, blocks encoded by our encoder, its header checksum matching its
// bytes. The sample's data is fixed, so a failure here is a fault in it, said all the same.
[[nodiscard]] Result<QByteArray> MakeSampleImage();

// Every file of the sample folder, the image included; refused as MakeSampleImage is, or
// for a text without a CP932 form.
[[nodiscard]] Result<std::vector<SampleFile>> MakeSampleFolder();

// Writes every sample file into folder, each atomically; the number of files written.
// Without overwrite a folder that already holds any of the files is refused before
// anything is written: Exists, naming the first.
[[nodiscard]] Result<int> WriteSampleFolder(const QString& folder, bool overwrite = true);

// Writes only the sample files that folder lacks, each atomically: a sample the user
// edited keeps its edits, and one partly deleted is made whole. The number written (0
// when nothing was missing).
[[nodiscard]] Result<int> CompleteSampleFolder(const QString& folder);

} // namespace zor
