// Alerts as notification-area balloons (toasts on Windows 10 and 11): an icon of the program's
// own that is there only while an alert is, and the command started with CreateProcessW. The
// icon's window is message-only; the window's DoEvents dispatches its messages with the rest.
// A low or critical alert keeps its icon until it is withdrawn; a notice only while it shows.
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/message_text.h"
#include "platform/notifier.h"
#include "platform/process.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

#include <shellapi.h> // after windows.h, which it needs

namespace platform::windows_detail {
namespace {

constexpr wchar_t kClassName[] = L"OstravelAlerts";
constexpr UINT kIconId = 1;
constexpr UINT kIconMessage = WM_APP + 1; // the notification area's news about the icon
constexpr int kProgramIconId = 1; // the program's icon in its resources

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

// Cut to the field's room; the fields end with a zero.
template <std::size_t N>
void CopyInto(wchar_t (&field)[N], const std::string& text) {
    const std::wstring wide = WideFromUtf8(text);
    const std::size_t length = std::min(wide.size(), N - 1);
    std::copy_n(wide.data(), length, field);
    field[length] = L'\0';
}

DWORD BalloonIcon(NoticeLevel level) {
    switch (level) {
    case NoticeLevel::Warning: return NIIF_WARNING;
    case NoticeLevel::Critical: return NIIF_ERROR;
    case NoticeLevel::Information: break;
    }
    return NIIF_INFO;
}

class TrayNotifier final : public Notifier {
public:
    explicit TrayNotifier(WarningHandler warn) : warn_(std::move(warn)) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        if (!::GetClassInfoExW(ThisModule(), kClassName, &windowClass)) {
            windowClass.lpfnWndProc = &TrayNotifier::Procedure;
            windowClass.hInstance = ThisModule();
            windowClass.lpszClassName = kClassName;
            if (!::RegisterClassExW(&windowClass))
                throw Error("cannot register the alerts' window class: " + SystemMessage(::GetLastError()));
        }
        window_ = ::CreateWindowExW(0, kClassName, L"Ostravel", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(),
                                    nullptr);
        if (window_ == nullptr) throw Error("cannot create the alerts' window: " + SystemMessage(::GetLastError()));
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        icon_ = static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                LR_DEFAULTCOLOR));
    }

    ~TrayNotifier() override {
        Withdraw(); // an icon left behind stays in the notification area until the pointer passes over it
        for (const Command& command : running_) ::CloseHandle(command.Process);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
        if (icon_) ::DestroyIcon(icon_);
    }

    TrayNotifier(const TrayNotifier&) = delete;
    TrayNotifier& operator=(const TrayNotifier&) = delete;

    void Show(const Notice& notice) override {
        NOTIFYICONDATAW data = IconData();
        data.uFlags = NIF_INFO;
        CopyInto(data.szInfoTitle, notice.Summary);
        CopyInto(data.szInfo, notice.Body);
        data.dwInfoFlags = BalloonIcon(notice.Level);
        passing_ = notice.Level == NoticeLevel::Information;
        if (added_) {
            if (!::Shell_NotifyIconW(NIM_MODIFY, &data)) WarnOnce("the notification area refused the alert");
            return;
        }
        data.uFlags |= NIF_ICON | NIF_TIP | NIF_MESSAGE;
        data.hIcon = icon_;
        data.uCallbackMessage = kIconMessage;
        CopyInto(data.szTip, "Ostravel");
        added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
        if (!added_) WarnOnce("the notification area refused the alert's icon");
    }

    void Withdraw() override {
        if (!added_) return;
        NOTIFYICONDATAW data = IconData();
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        added_ = false;
    }

    void Run(const std::string& command) override {
        std::wstring line = WideFromUtf8(command); // CreateProcessW may write into it
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                              &startup, &process)) {
            Warn("cannot start the command " + QuotedForMessage(command) + ": " +
                                SystemMessage(::GetLastError()));
            return;
        }
        ::CloseHandle(process.hThread);
        running_.push_back(Command{process.hProcess, command});
    }

    void Turn() override {
        std::erase_if(running_, [&](const Command& command) {
            DWORD status = 0;
            if (::WaitForSingleObject(command.Process, 0) != WAIT_OBJECT_0 ||
                !::GetExitCodeProcess(command.Process, &status))
                return false;
            if (status != 0) {
                Warn("the command " + QuotedForMessage(command.Text) + " failed: exit status " +
                                    std::to_string(status));
            }
            ::CloseHandle(command.Process);
            return true;
        });
    }

private:
    struct Command {
        HANDLE Process;
        std::string Text;
    };

    // A notice's icon goes with its balloon, closed by the user or timed out.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TrayNotifier*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == kIconMessage && self->passing_ &&
            (lParam == NIN_BALLOONTIMEOUT || lParam == NIN_BALLOONUSERCLICK)) {
            self->Withdraw();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    NOTIFYICONDATAW IconData() const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = window_;
        data.uID = kIconId;
        return data;
    }

    // No notification area (no shell) would otherwise be told at every alert.
    void WarnOnce(const std::string& warning) {
        if (warned_) return;
        warned_ = true;
        Warn(warning);
    }

    void Warn(const std::string& warning) const {
        if (warn_) warn_(warning);
    }

    WarningHandler warn_; // empty: warnings are dropped
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    bool added_ = false;
    bool passing_ = false; // the balloon shown is a notice, not a low or critical alert
    bool warned_ = false;
    std::vector<Command> running_; // started and not yet ended
};

} // namespace
} // namespace platform::windows_detail

namespace platform {

std::unique_ptr<Notifier> OpenNotifier(WarningHandler warn) {
    return std::make_unique<windows_detail::TrayNotifier>(std::move(warn));
}

} // namespace platform
