#pragma once

// The sample's document, loaded once from a folder the sample is written to, for the CSV
// import's fuzz target.

#include "core/codec/BattleCodec.h"
#include "core/document/ReadImage.h"
#include "core/sample/Sample.h"

#include <QTemporaryDir>

#include <cstdlib>

namespace zor::fuzz {

inline DocumentState SampleDocument()
{
    QTemporaryDir home;
    if (!home.isValid() || !WriteSampleFolder(home.path()))
        std::abort(); // the harness itself failed
    const QString rom = home.filePath(SampleImageName());
    DocumentState doc;
    LoadDocument(doc, rom, *ReadRomImage(rom), home.path());
    const zor::ProblemLog& log = doc.Problems;
    if (!log.empty())
        std::abort();
    return doc;
}

} // namespace zor::fuzz
