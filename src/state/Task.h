#pragma once
// Sequences that await. A Task is a coroutine on the one GUI thread: it does
// nothing until it is awaited (or started by a driver), and when it ends it
// resumes whoever awaited it. Every sequence that talks to the units (a reset,
// a shot, a sweep, a recording) is a Task that awaits port bytes, deadlines
// and the operator's answers; while it waits, control is back in the event
// loop, so no command ever runs inside another one's wait.
//
//   Task<int> readOne();                  // a sequence
//   int r = co_await readOne();           // inside another sequence
//   Spawn(run(), [](std::exception_ptr) { ... });   // from a click handler
//
// Tests drive a Task on the simulated clock with SimulatedLine::run.
#include <coroutine>
#include <exception>
#include <functional>
#include <optional>
#include <utility>

namespace q24 {

template <class T = void>
class Task;

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr error;

    struct Final {
        bool await_ready() noexcept { return false; }
        template <class P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept {
            if (auto c = h.promise().continuation) return c;
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    std::suspend_always initial_suspend() noexcept { return {}; }
    Final final_suspend() noexcept { return {}; }
    void unhandled_exception() { error = std::current_exception(); }
};

template <class T>
struct Promise : PromiseBase {
    std::optional<T> value;
    Task<T> get_return_object();
    template <class U>
    void return_value(U&& v) {
        value.emplace(std::forward<U>(v));
    }
    T take() {
        if (error) std::rethrow_exception(error);
        return std::move(*value);
    }
};

template <>
struct Promise<void> : PromiseBase {
    Task<void> get_return_object();
    void return_void() {}
    void take() {
        if (error) std::rethrow_exception(error);
    }
};

}  // namespace detail

template <class T>
class [[nodiscard]] Task {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle h) : h_(h) {}
    Task(Task&& o) noexcept : h_(std::exchange(o.h_, {})) {}
    Task& operator=(Task&& o) noexcept {
        if (this != &o) {
            destroy();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { destroy(); }

    bool valid() const { return static_cast<bool>(h_); }
    bool done() const { return !h_ || h_.done(); }
    // Runs the task up to its first wait; for drivers (SimulatedLine::run,
    // Spawn). Awaiting it does this by itself.
    void start() {
        if (h_ && !h_.done()) h_.resume();
    }
    // Once done: the value (or what the task threw, thrown again).
    T result() { return h_.promise().take(); }

    bool await_ready() const noexcept { return !h_ || h_.done(); }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiter) noexcept {
        h_.promise().continuation = awaiter;
        return h_;
    }
    T await_resume() { return h_.promise().take(); }

private:
    void destroy() {
        if (h_) h_.destroy();
        h_ = {};
    }
    Handle h_;
};

namespace detail {

template <class T>
Task<T> Promise<T>::get_return_object() {
    return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}
inline Task<void> Promise<void>::get_return_object() {
    return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}

// A coroutine nobody awaits: it owns the task it runs and frees itself at the
// end.
struct Detached {
    struct promise_type {
        Detached get_return_object() noexcept { return {}; }
        std::suspend_never initial_suspend() noexcept { return {}; }
        std::suspend_never final_suspend() noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { std::terminate(); }
    };
};

inline Detached RunDetached(Task<void> task, std::function<void(std::exception_ptr)> done) {
    std::exception_ptr error;
    try {
        co_await task;
    } catch (...) {
        error = std::current_exception();
    }
    if (done) done(error);
}

}  // namespace detail

// Starts `task` from ordinary code (a click handler, a timer): it runs up to
// its first wait now and goes on from the event loop; `done` is told when it
// has ended, with what it threw if it did.
inline void Spawn(Task<void> task, std::function<void(std::exception_ptr)> done = {}) {
    detail::RunDetached(std::move(task), std::move(done));
}

// Runs a lambda that returns a Task and keeps the lambda alive until that
// task has ended: a lambda's captures live in the lambda object, not in the
// coroutine it starts, so a temporary lambda would die under its task.
//   Spawn(Call([&]() -> Task<void> { co_await ...; }));
template <class F>
auto Call(F f) -> decltype(f()) {
    co_return co_await f();
}

// A Task that is already over, with this value.
template <class T>
Task<T> Ready(T value) {
    co_return value;
}
inline Task<void> Ready() { co_return; }

}  // namespace q24
