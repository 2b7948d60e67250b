#include "platform/windows/gui/win32_window.h"

#include <algorithm>
#include <commctrl.h>
#include <windowsx.h>

#include "platform/process.h"
#include "platform/tip_placement.h"

#include "platform/windows/gui/dpi.h"
#include "platform/windows/gui/icons.h"
#include "platform/windows/gui/system_dpi.h"
#include "platform/windows/stop_requests.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace platform::windows_detail {
namespace {

constexpr wchar_t kClassName[] = L"OstravelWindow";
constexpr int kProgramIconId = 1;

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (::GetClassInfoExW(ThisModule(), kClassName, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(ThisModule(), MAKEINTRESOURCEW(kProgramIconId));
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass))
        throw Error("cannot register the window class: " + SystemMessage(::GetLastError()));
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT area, LPARAM collected) {
    reinterpret_cast<std::vector<RECT>*>(collected)->push_back(*area);
    return TRUE;
}

} // namespace

Win32Window::Win32Window(const WindowDesign& design) : contents_(design.Contents) {
    RegisterWindowClass(&Win32Window::WindowProcedure);
    // No frame, so the window's outer rectangle is its client area. WS_SYSMENU keeps it a
    // managed window that gets Alt+F4; the tool-window style keeps it off the taskbar.
    const RECT area = PixelsFromTwipsRect(design.Placement, SystemDpi());
    hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, WideFromUtf8(design.Title).c_str(), WS_POPUP | WS_SYSMENU,
                              area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                              ThisModule(), this);
    if (hwnd_ == nullptr) throw Error("cannot create the window: " + SystemMessage(::GetLastError()));
    // The monitor it landed on may have another dpi than the system's.
    if (WindowDpi(hwnd_) != SystemDpi()) SetPlacement(design.Placement);
    SetIcons(design);
}

Win32Window::~Win32Window() {
    if (tip_) ::DestroyWindow(tip_);
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    if (bigIcon_) ::DestroyIcon(bigIcon_);
    if (smallIcon_) ::DestroyIcon(smallIcon_);
}

void Win32Window::SetIcons(const WindowDesign& design) {
    if (const Image* big = ChooseIconImage(design.Icons, ::GetSystemMetrics(SM_CXICON))) bigIcon_ = CreateIconFromImage(*big);
    if (const Image* small = ChooseIconImage(design.Icons, ::GetSystemMetrics(SM_CXSMICON)))
        smallIcon_ = CreateIconFromImage(*small);
    // Without drawings of its own the window keeps the program's icon from the class.
    if (bigIcon_) ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_) ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

LRESULT CALLBACK Win32Window::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return window->Handle(message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1; // the paint covers every pixel
    case WM_LBUTTONDOWN: OnButtonDown(kButtonLeft, wParam, lParam); return 0;
    case WM_RBUTTONDOWN: OnButtonDown(kButtonRight, wParam, lParam); return 0;
    case WM_MBUTTONDOWN: OnButtonDown(kButtonMiddle, wParam, lParam); return 0;
    case WM_CLOSE: OnClose(); return 0; // the program decides when the window goes
    case WM_MOUSEMOVE: OnMouseMove(); return 0;
    case WM_MOUSELEAVE:
        pointerOn_ = false;
        if (events_) events_->PointerLeft();
        return 0;
    case WM_DPICHANGED: OnDpiChanged(*reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_ENDSESSION:
        if (wParam) NoteStopRequest(); // the session ends: leave the loop as for a console close
        return 0;
    case WM_SYSCOMMAND:
        if (OnSysCommand(wParam, lParam)) return 0;
        break;
    default: break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (contents_) painter_.PaintBuffered(dc, *contents_, client.right, client.bottom, WindowDpi(hwnd_));
    ::EndPaint(hwnd_, &paint);
}

void Win32Window::OnButtonDown(int button, WPARAM keys, LPARAM position) {
    if (events_ == nullptr) return;
    const int shift = ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
                      ((::GetKeyState(VK_MENU) < 0) ? 4 : 0);
    const int dpi = WindowDpi(hwnd_);
    events_->MouseDown(button, shift, TwipsFromPixels(GET_X_LPARAM(position), dpi),
                       TwipsFromPixels(GET_Y_LPARAM(position), dpi));
}

void Win32Window::OnClose() {
    if (events_) events_->CloseRequested();
    else closePending_ = true;
}

// The first move over the window is the pointer's coming; the system then reports its leaving.
void Win32Window::OnMouseMove() {
    if (pointerOn_ || events_ == nullptr) return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd_;
    if (!::TrackMouseEvent(&track)) return;
    pointerOn_ = true;
    events_->PointerEntered();
}

// Keeps the client area the same size in twips on a monitor of another dpi.
void Win32Window::OnDpiChanged(const RECT& suggested) {
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

// Alt pressed and released alone would enter the window menu, whose modal loop would stop
// the program's polling until the menu is left; the window has no menu to offer that way.
bool Win32Window::OnSysCommand(WPARAM command, LPARAM position) {
    return (command & 0xFFF0) == SC_KEYMENU && position == 0;
}

void Win32Window::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
}

void Win32Window::Invalidate() { ::InvalidateRect(hwnd_, nullptr, FALSE); }

void Win32Window::DoEvents(WindowEvents& events) {
    events_ = &events;
    if (closePending_) {
        closePending_ = false;
        events.CloseRequested();
    }
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    events_ = nullptr;
}

WindowState Win32Window::State() {
    if (::IsIconic(hwnd_)) return WindowState::Minimized;
    if (::IsZoomed(hwnd_)) return WindowState::Maximized;
    return WindowState::Normal;
}

TwipsRect Win32Window::TwipsFromScreen(const RECT& pixels) {
    const int dpi = WindowDpi(hwnd_);
    return TwipsRectFromPixels(pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, dpi);
}

TwipsRect Win32Window::Placement() {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    POINT origin{0, 0};
    ::ClientToScreen(hwnd_, &origin);
    ::OffsetRect(&client, origin.x, origin.y);
    return TwipsFromScreen(client);
}

void Win32Window::SetPlacement(const TwipsRect& placement) {
    const RECT area = PixelsFromTwipsRect(placement, WindowDpi(hwnd_));
    ::SetWindowPos(hwnd_, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

TwipsRect Win32Window::PrimaryScreen() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!::GetMonitorInfoW(primary, &info)) {
        RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return TwipsFromScreen(work);
    }
    return TwipsFromScreen(info.rcWork);
}

std::vector<TwipsRect> Win32Window::Monitors() {
    std::vector<RECT> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&areas));
    std::vector<TwipsRect> monitors;
    for (const RECT& area : areas) monitors.push_back(TwipsFromScreen(area));
    return monitors;
}

double Win32Window::Dpi() { return WindowDpi(hwnd_); }

PixelSize Win32Window::LargestSize() {
    // Window messages carry sizes and positions in 16-bit halves of their parameters.
    constexpr int kLargestSide = 32767;
    return {std::min(kLargestSide, ::GetSystemMetrics(SM_CXVIRTUALSCREEN)),
            std::min(kLargestSide, ::GetSystemMetrics(SM_CYVIRTUALSCREEN))};
}

void Win32Window::SetTopmost(bool topmost) {
    ::SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Win32Window::ReleaseCapture() { ::ReleaseCapture(); }

// The system's own move loop, as for a press on a title bar; it returns when the move ends.
void Win32Window::BeginMove(int /*button*/) { ::SendMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0); }

namespace {

// The tip's one tool: shown where the program puts it, while the program says so.
TTTOOLINFOW TipTool(HWND owner) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE; // understood by every version of the common controls
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = 1;
    return tool;
}

} // namespace

void Win32Window::ShowTip(const std::vector<std::string>& lines) {
    if (!tip_) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        tip_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, ThisModule(), nullptr);
        // Owned by no window: an owned topmost window would drag its owner's place among the
        // topmost ones with it, and T could then no longer pin the window.
        if (tip_ == nullptr) return; // the window goes on without its tip
        ::SetWindowTextW(tip_, L"Ostravel details");
        TTTOOLINFOW tool = TipTool(hwnd_);
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        // Lines break where the text breaks them, not at the control's own width.
        ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 32767);
    }
    tipText_.clear();
    for (const std::string& line : lines) tipText_ += (tipText_.empty() ? L"" : L"\r\n") + WideFromUtf8(line);
    TTTOOLINFOW tool = TipTool(hwnd_);
    tool.lpszText = tipText_.data();
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    const auto bubble = static_cast<DWORD>(::SendMessageW(tip_, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT panel;
    ::GetWindowRect(hwnd_, &panel);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const ScreenArea area = TipArea({panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top},
                                    LOWORD(bubble), HIWORD(bubble),
                                    {work.left, work.top, work.right - work.left, work.bottom - work.top});
    ::SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(area.X, area.Y));
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void Win32Window::HideTip() {
    if (!tip_) return;
    TTTOOLINFOW tool = TipTool(hwnd_);
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

std::int16_t Win32Window::GetAsyncKeyState(int virtualKey) {
    return static_cast<std::int16_t>(::GetAsyncKeyState(virtualKey));
}

} // namespace platform::windows_detail

namespace platform {

// The Win32 window does without nothing: it has no warnings to give.
std::unique_ptr<Window> OpenWindow(const WindowDesign& design, WarningHandler /*warn*/) {
    return std::make_unique<windows_detail::Win32Window>(design);
}

} // namespace platform
