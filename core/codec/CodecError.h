#pragma once

// Failures of the battle block codec and of the record split, with a Japanese message
// for the user and the block they concern, so the loader and the save can report them.

#include <QString>

#include <cstdint>
#include <stdexcept>

namespace zor {

class CodecError : public std::runtime_error {
public:
    // block is the 0-based block number, -1 when the failure is not tied to one block; the
    // message counts blocks from 1, as the window and zor-cli show them.
    explicit CodecError(const QString& message, int block = -1);

    const QString& message() const { return message_; }
    int block() const { return block_; }

private:
    QString message_;
    int block_;
};

// "0x3F9000", "-0x6DCC": an image offset as the messages show it.
QString HexOffset(std::int64_t offset);

} // namespace zor
