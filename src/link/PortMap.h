#pragma once
// COM numbers to device paths: the one place where the numbers the operator
// types in the port dialog (1 to 16) become Linux device files.
//
// Numbers given on the command line (`--port 3=/dev/ttyUSB0`, and the
// emulated units of --simulate as COM1) are fixed. The numbers left free are
// filled, lowest first, with the serial devices present, in a stable order:
// USB adapters (/dev/ttyUSB0, 1, ... then /dev/ttyACM0, ...), then the
// built-in UARTs that have hardware behind them (/dev/ttyS0, ...). A device
// already given a number is not listed twice.
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace q24 {

class PortMap {
public:
    static constexpr int kFirst = 1, kLast = 16;

    void assign(int number, const std::string& path) { fixed_[number] = path; }
    // Fills the free numbers from `devices` (already in their order).
    void fillDefaults(const std::vector<std::string>& devices);
    // The path of a number, empty when the number has none.
    std::string path(int number) const;
    const std::map<int, std::string>& all() const { return map_; }

    // The serial devices of this machine in the order above; `isUart` tells
    // whether a /dev/ttyS* has a UART behind it.
    static std::vector<std::string> PresentDevices(const std::string& devDir = "/dev",
                                                   const std::function<bool(const std::string&)>& isUart = {});

private:
    std::map<int, std::string> fixed_;
    std::map<int, std::string> map_;
};

// Reads one "N=PATH" of --port; false when it is malformed or N is not 1..16.
bool ParsePortOption(const std::string& text, int& number, std::string& path);

}  // namespace q24
