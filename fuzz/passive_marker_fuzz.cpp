// The passive recording's marker file temp_data_unsaved.txt on any text.
#include <cstdlib>

#include "acquisition/PassiveSeismic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (q24::UnsavedBlocksOf({reinterpret_cast<const char*>(data), size}) < 1) std::abort();
    return 0;
}
