// Desktop notifications through the session bus (org.freedesktop.Notifications) and the
// detached command, on a GLib main context of their own. Every call is asynchronous and its
// answer is handled when Turn runs the context without waiting, so the poll loop never stalls
// on the bus, the notification server or the command.
#include <gio/gio.h>
#include <sys/wait.h>

#include <deque>
#include <utility>

#include "platform/message_text.h"
#include "platform/notifier.h"
#include "platform/process.h"

namespace platform::x11 {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kObject = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr const char* kAppName = "Ostravel";
constexpr const char* kIcon = "ostravel"; // installed in the hicolor theme by the package

std::string ReasonOf(GError* error) {
    if (error == nullptr) return "no reason given";
    g_dbus_error_strip_remote_error(error);
    std::string reason = error->message;
    g_error_free(error);
    return reason;
}

std::string WaitStatusText(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

// The connection is made on a worker thread: finding the session bus's address may start
// dbus-launch and wait for it. A private connection, so that losing the bus never ends the
// program (the shared one does).
void ConnectInThread(GTask* task, gpointer, gpointer, GCancellable* cancellable) {
    GError* error = nullptr;
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, cancellable, &error);
    GDBusConnection* bus = nullptr;
    if (address != nullptr) {
        const auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        bus = g_dbus_connection_new_for_address_sync(address, flags, nullptr, cancellable, &error);
        g_free(address);
    }
    if (bus != nullptr) {
        g_task_return_pointer(task, bus, g_object_unref);
    } else {
        g_task_return_error(task, error);
    }
}

class DesktopNotifier final : public Notifier {
public:
    explicit DesktopNotifier(WarningHandler warn)
        : warn_(std::move(warn)), context_(g_main_context_new()), cancellable_(g_cancellable_new()) {
        OnContext([&] {
            GTask* task = g_task_new(nullptr, cancellable_, &DesktopNotifier::Connected, this);
            g_task_run_in_thread(task, ConnectInThread);
            g_object_unref(task);
        });
    }

    // Answers still on their way are dropped with the context, never delivered to a gone object.
    ~DesktopNotifier() override {
        g_cancellable_cancel(cancellable_);
        if (bus_ != nullptr) g_object_unref(bus_);
        g_object_unref(cancellable_);
        g_main_context_unref(context_);
    }

    DesktopNotifier(const DesktopNotifier&) = delete;
    DesktopNotifier& operator=(const DesktopNotifier&) = delete;

    void Show(const Notice& notice) override {
        if (state_ == Bus::Absent) return;
        queue_.push_back(Request{false, notice});
        SendNext();
    }

    void Withdraw() override {
        if (state_ == Bus::Absent) return;
        queue_.push_back(Request{true, {}});
        SendNext();
    }

    void Run(const std::string& command) override {
        char shell[] = "/bin/sh";
        char option[] = "-c";
        std::string text = command;
        char* argv[] = {shell, option, text.data(), nullptr};
        GPid pid = 0;
        GError* error = nullptr;
        const auto flags = static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDIN_FROM_DEV_NULL);
        if (!g_spawn_async(nullptr, argv, nullptr, flags, nullptr, nullptr, &pid, &error)) {
            Warn("cannot start the command " + QuotedForMessage(command) + ": " + ReasonOf(error));
            return;
        }
        GSource* watch = g_child_watch_source_new(pid);
        g_source_set_callback(watch, G_SOURCE_FUNC(&DesktopNotifier::CommandEnded), new Command{this, command},
                              [](gpointer data) { delete static_cast<Command*>(data); });
        g_source_attach(watch, context_);
        g_source_unref(watch);
    }

    void Turn() override {
        while (g_main_context_iteration(context_, FALSE)) {
        }
    }

private:
    struct Request {
        bool Withdraw = false;
        Notice Shown;
    };
    struct Command {
        DesktopNotifier* Owner;
        std::string Text;
    };
    enum class Bus { Connecting, Ready, Absent };

    // Calls made here deliver their answers to this object's context.
    template <class F>
    void OnContext(F&& start) {
        g_main_context_push_thread_default(context_);
        start();
        g_main_context_pop_thread_default(context_);
    }

    static void Connected(GObject*, GAsyncResult* result, gpointer data) {
        auto* self = static_cast<DesktopNotifier*>(data);
        GError* error = nullptr;
        self->bus_ = static_cast<GDBusConnection*>(g_task_propagate_pointer(G_TASK(result), &error));
        if (self->bus_ == nullptr) {
            self->state_ = Bus::Absent;
            self->queue_.clear();
            self->WarnOnce("cannot reach the session bus: " + ReasonOf(error));
            return;
        }
        self->state_ = Bus::Ready;
        self->SendNext();
    }

    // One call at a time, so that each notice replaces the one the server last named.
    void SendNext() {
        while (state_ == Bus::Ready && !waiting_ && !queue_.empty()) {
            Request next = std::move(queue_.front());
            queue_.pop_front();
            if (next.Withdraw) {
                if (shownId_ == 0) continue;
                Call("CloseNotification", g_variant_new("(u)", shownId_), nullptr);
                shownId_ = 0;
            } else {
                GVariantBuilder hints;
                g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
                const guchar urgency = next.Shown.Level == NoticeLevel::Critical ? 2 : 1;
                g_variant_builder_add(&hints, "{sv}", "urgency", g_variant_new_byte(urgency));
                Call("Notify",
                     g_variant_new("(susssasa{sv}i)", kAppName, shownId_, kIcon, next.Shown.Summary.c_str(),
                                   next.Shown.Body.c_str(), nullptr, &hints, -1),
                     G_VARIANT_TYPE("(u)"));
            }
        }
    }

    void Call(const char* method, GVariant* parameters, const GVariantType* replyType) {
        waiting_ = true;
        OnContext([&] {
            g_dbus_connection_call(bus_, kService, kObject, kInterface, method, parameters, replyType,
                                   G_DBUS_CALL_FLAGS_NONE, -1, cancellable_, &DesktopNotifier::Answered, this);
        });
    }

    static void Answered(GObject* source, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
            g_error_free(error);
            return; // the notifier is going
        }
        auto* self = static_cast<DesktopNotifier*>(data);
        self->waiting_ = false;
        if (reply == nullptr) {
            self->WarnOnce("cannot show desktop notifications: " + ReasonOf(error));
        } else {
            if (g_variant_is_of_type(reply, G_VARIANT_TYPE("(u)"))) g_variant_get(reply, "(u)", &self->shownId_);
            g_variant_unref(reply);
        }
        self->SendNext();
    }

    static gboolean CommandEnded(GPid pid, gint status, gpointer data) {
        auto* command = static_cast<Command*>(data);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            command->Owner->Warn("the command " + QuotedForMessage(command->Text) + " failed: " +
                                                WaitStatusText(status));
        }
        g_spawn_close_pid(pid);
        return G_SOURCE_REMOVE;
    }

    // A missing bus or server would otherwise be told at every alert.
    void WarnOnce(const std::string& warning) {
        if (warned_) return;
        warned_ = true;
        Warn(warning);
    }

    void Warn(const std::string& warning) const {
        if (warn_) warn_(warning);
    }

    WarningHandler warn_; // empty: warnings are dropped
    GMainContext* context_;
    GCancellable* cancellable_;
    GDBusConnection* bus_ = nullptr;
    Bus state_ = Bus::Connecting;
    std::deque<Request> queue_; // asked for while connecting or while a call waits for its answer
    bool waiting_ = false;
    guint32 shownId_ = 0; // the server's id of the notice on screen; 0: none
    bool warned_ = false;
};

} // namespace
} // namespace platform::x11

namespace platform {

std::unique_ptr<Notifier> OpenNotifier(WarningHandler warn) {
    return std::make_unique<x11::DesktopNotifier>(std::move(warn));
}

} // namespace platform
