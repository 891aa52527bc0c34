// One libFuzzer harness: the reader named by VANTO_FUZZ_READER.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto* reader = vanto::fuzz::findReader(VANTO_FUZZ_READER);
    reader->read(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
