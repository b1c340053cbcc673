#pragma once
// ini.txt for the end-to-end tests: the simulated spread on `channels`
// positions; `more` changes the rest.
#include <functional>
#include <memory>
#include <string>

#include "program/Program.h"
#include "state/Config.h"

namespace q24::test {

inline std::string WriteSpreadIni(const std::string& home, int channels,
                                  const std::function<void(State&)>& more = {}) {
    auto s = std::make_unique<State>();
    SimulatedSpread(*s, channels);
    if (more) more(*s);
    return SaveConfiguration(*s, home);
}

}  // namespace q24::test
