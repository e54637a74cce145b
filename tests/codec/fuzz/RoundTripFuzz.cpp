// Builds a battle table from the input and saves and loads it: the encoder may refuse
// with CodecError, leaving the image untouched, the save may refuse a record that begins
// with 0, or the records and block starts must come back exactly.

#include "tests/codec/fuzz/FuzzTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const zor::fuzz::RoundTripOutcome outcome = zor::fuzz::RoundTrip(zor::fuzz::TableFromInput(data, size));
    switch (outcome.result) {
    case zor::fuzz::RoundTripResult::Held:
    case zor::fuzz::RoundTripResult::Refused:
    case zor::fuzz::RoundTripResult::RefusedBySave:
        break;
    default:
        std::abort();
    }
    return 0;
}
