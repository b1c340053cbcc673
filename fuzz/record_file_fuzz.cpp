// The record file reader on any text.
#include "files/RecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const q24::State current;
    std::string why;
    (void)q24::ReadRecordFile({reinterpret_cast<const char*>(data), size}, current, &why);
    return 0;
}
