#pragma once
// ini.txt for the end-to-end tests: `channels` positions on units 1, 2, ...,
// 5 m apart, trigger unit 1, both rates 1000000; `more` changes the rest.
#include <functional>
#include <memory>
#include <string>

#include "state/Config.h"

namespace q24::test {

inline std::string WriteSpreadIni(const std::string& home, int channels,
                                  const std::function<void(State&)>& more = {}) {
    auto s = std::make_unique<State>();
    s->N_Geofoni = static_cast<int16_t>(channels);
    s->Trigger_unit = 1;
    for (int ch = 1; ch <= channels; ++ch) s->Ch_param[ch] = static_cast<int16_t>(ch);
    s->Dist_geofoni = 5;
    s->Baud_rate = 1000000;
    s->Baud_rate_high = 1000000;
    if (more) more(*s);
    return SaveConfiguration(*s, home);
}

}  // namespace q24::test
