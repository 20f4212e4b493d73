#pragma once

// A handler written as resumable steps: a coroutine that suspends at every
// wait and goes on where it stopped once the console resumes it. A Task does
// not run until it is awaited (or started by the console), and resumes the
// coroutine that awaited it when it ends, so a handler awaits its procedures
// as it would call them.
//
// GCC 12 miscompiles a co_await inside the condition of an if or a loop, or
// inside a conditional expression: a handler takes an awaited result into a
// variable first and tests that (scripts/test checks).
//
// The console owns the outermost task of every handler. It ends a handler
// that another has taken over by destroying its frames while they are
// suspended: the objects on its frames are destroyed then, so whatever a
// handler must undo however it ends is undone by one of them.

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace wc {

template <class T = void> class Task;

namespace detail {

// Hands the thread back to the awaiting coroutine, or to the console when
// nobody awaits (the outermost task).
struct TaskEnd {
    bool await_ready() const noexcept { return false; }
    template <class Promise>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> ended) noexcept {
        const std::coroutine_handle<> next = ended.promise().awaiter;
        return next ? next : std::noop_coroutine();
    }
    void await_resume() const noexcept {}
};

struct PromiseBase {
    std::coroutine_handle<> awaiter;
    std::suspend_always initial_suspend() const noexcept { return {}; }
    TaskEnd final_suspend() const noexcept { return {}; }
    // A handler has no one to report a failure to: it is a fault of ours.
    [[noreturn]] void unhandled_exception() const noexcept { std::terminate(); }
};

template <class T> struct Promise : PromiseBase {
    std::optional<T> value;
    void return_value(T result) { value = std::move(result); }
};

template <> struct Promise<void> : PromiseBase {
    void return_void() const noexcept {}
};

} // namespace detail

template <class T> class [[nodiscard]] Task {
public:
    struct promise_type : detail::Promise<T> {
        Task get_return_object() { return Task(std::coroutine_handle<promise_type>::from_promise(*this)); }
    };
    using Handle = std::coroutine_handle<promise_type>;

    Task(Task&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    Task& operator=(Task&& other) noexcept {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() {
        if (m_handle) {
            m_handle.destroy();
        }
    }

    // Awaited: runs to its end, then the awaiter goes on with its result.
    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiter) noexcept {
        m_handle.promise().awaiter = awaiter;
        return m_handle;
    }
    T await_resume() {
        if constexpr (!std::is_void_v<T>) {
            return std::move(*m_handle.promise().value);
        }
    }

    // The frame, for the console to start and own.
    Handle release() { return std::exchange(m_handle, {}); }

private:
    explicit Task(Handle handle) : m_handle(handle) {}
    Handle m_handle;
};

} // namespace wc
