// monitor.ini on any text: the threshold taken always lies in its range and
// reads back the same from the file written for it.
#include <cstdlib>
#include <string>

#include "acquisition/NoiseMonitor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const q24::MonitorSettings got = q24::MonitorSettingsOf({reinterpret_cast<const char*>(data), size});
    if (!(got.threshold >= q24::kThresholdLowestDb && got.threshold <= q24::kThresholdHighestDb)) std::abort();
    const std::string file = "threshold_db=" + q24::ThresholdText(got.threshold) + "\n";
    const q24::MonitorSettings again = q24::MonitorSettingsOf(file);
    if (again.threshold != got.threshold || !again.notes.empty()) std::abort();
    return 0;
}
