// Desktop notifications and the detached command of the battery alerts. Nothing here waits:
// each call starts its work and Turn, once per turn of the poll loop, carries it on.
#pragma once

#include <memory>
#include <string>

#include "platform/process.h"

namespace platform {

enum class NoticeLevel { Information, Warning, Critical };

struct Notice {
    std::string Summary; // UTF-8, one line
    std::string Body;    // UTF-8
    NoticeLevel Level = NoticeLevel::Information;
};

class Notifier {
public:
    virtual ~Notifier() = default; // takes a notice still shown off the screen where the system lets it

    // Shows the notice in place of this program's previous one.
    virtual void Show(const Notice& notice) = 0;
    // Takes this program's notice off the screen; nothing when none is shown.
    virtual void Withdraw() = 0;
    // Starts the command and does not wait for it (Linux: /bin/sh -c COMMAND; Windows: the
    // command line as given).
    virtual void Run(const std::string& command) = 0;
    // Handles what has come back since the previous turn (answers, ended commands) without
    // waiting; what went wrong goes to the notifier's warning handler.
    virtual void Turn() = 0;
};

// Starts reaching the system's notification service and returns at once. Problems found later
// go to `warn`, one line each from a Turn: a command that failed, each time; no notification
// service, once (the notices are then dropped quietly). Throws Error when nothing can be set up.
std::unique_ptr<Notifier> OpenNotifier(WarningHandler warn);

} // namespace platform
