#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli patch [--ips] ORIGINAL EDITED OUT: writes a BPS patch (IPS with --ips) that
// turns ORIGINAL into EDITED, atomically. 0 written; 1 refused (IPS past 0xFFFFFF) or
// OUT not written; 2 bad usage or an input that can't be read.
int RunPatch(const QStringList& args, QTextStream& out, QTextStream& err);

// zor-cli apply PATCH ORIGINAL OUT: applies a BPS or IPS patch (told by its first bytes)
// and writes the result atomically. 0 written; 1 refused (damaged, made for another
// file) or OUT not written; 2 bad usage or an input that can't be read.
int RunApply(const QStringList& args, QTextStream& out, QTextStream& err);

// zor-cli checksum [--fix] ROM: prints the header's stored and computed checksum and
// complement; --fix writes the computed ones when they differ, atomically. 0 when they
// match or were fixed, 1 when they don't, 2 on bad usage, an unreadable image, one
// without a header or a fix that can't be written.
int RunChecksum(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
