// Process services: entry point, argument text, sleep; and how failures travel.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

// Each program defines this; the platform's entry point calls it and exits with its result.
int ProgramMain();

namespace platform {

// How failures travel, in both programs and on every platform:
// - set-up and saves that fail throw Error, whose message says in one line what failed and
//   on which input, and never names the program; so does a window whose request the window
//   system refused, at the window's next call that learns of it (X reports refusals late);
// - a query made every turn returns a Result: the value, or the reason it couldn't be had;
//   the program decides whether that ends it, and then throws Error itself;
// - a problem the program carries on despite (a settings file it can't read, hotkeys it
//   can't watch) goes to the WarningHandler the program gave, one line per problem;
// - only each program's main prints ("PROGRAM: message" on standard error) and picks the
//   exit status, from what failed rather than from the exception's type.
// The platform layer never prints and never exits; the one exception is Xlib's
// connection-lost handler, from which Xlib allows no return.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Takes one warning: a line without the program's name. Empty: the warnings are dropped.
using WarningHandler = std::function<void(const std::string& message)>;

// What a Result holds when the step has no value to give.
struct Done {};

template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // reason: the system's words in one line; never empty.
    static Result Failed(std::string reason) {
        Result failed;
        failed.reason_ = reason.empty() ? "the system gave no reason" : std::move(reason);
        return failed;
    }

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }
    const T& Value() const { return *value_; }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    const std::string& Reason() const { return reason_; }

private:
    Result() = default;
    std::optional<T> value_;
    std::string reason_;
};

// Everything on the command line after the program's own name, as one UTF-8 text.
// Where the system delivers the arguments already split, they are joined with single blanks.
std::string ArgumentText();

// Suspends the calling thread for the whole given time, resuming after signals.
void Sleep(std::uint32_t milliseconds);

// From this call on, a request from outside to stop (SIGTERM or SIGINT; a console close on
// Windows) no longer ends the process at once: StopRequested() turns true instead, so the
// program can leave its loop and tear down cleanly.
void CatchStopRequests();
bool StopRequested();

} // namespace platform
