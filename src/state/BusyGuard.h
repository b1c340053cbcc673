#pragma once
// Marks a piece of work as under way for as long as the guard lives, however
// the work ends (return, co_return, exception, a cancelled sequence):
//
//   const BusyGuard oneReset(resetting_);            // flag: true, then false
//   const BusyGuard counted(sequences_, [this] { notify(); });
//
// Over a flag it sets it and clears it at the end. Over a count it counts the
// pieces under way (they may nest or overlap) and, when the last one ends,
// runs `whenIdle`.
#include <functional>
#include <utility>

namespace q24 {

class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(&flag) { flag = true; }
    explicit BusyGuard(int& count, std::function<void()> whenIdle = {})
        : count_(&count), whenIdle_(std::move(whenIdle)) {
        ++count;
    }
    ~BusyGuard() {
        if (flag_) *flag_ = false;
        else if (--*count_ == 0 && whenIdle_) whenIdle_();
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool* flag_ = nullptr;
    int* count_ = nullptr;
    std::function<void()> whenIdle_;
};

}  // namespace q24
