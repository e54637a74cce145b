// Builds a battle table from the input and saves and loads it: the encoder may refuse
// with CodecError, leaving the image untouched, or the records and block starts must
// come back exactly.

#include "tests/codec/fuzz/FuzzTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const zor::fuzz::RoundTripOutcome outcome = zor::fuzz::RoundTrip(zor::fuzz::TableFromInput(data, size));
    if (outcome.result != zor::fuzz::RoundTripResult::Held && outcome.result != zor::fuzz::RoundTripResult::Refused)
        std::abort();
    return 0;
}
