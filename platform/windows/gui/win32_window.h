// The window program's one window on Win32: a borderless, topmost-capable tool window.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolkit.h"
#include "platform/windows/gui/surface_painter.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

class Win32Window final : public Window {
public:
    explicit Win32Window(const WindowDesign& design);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void Show() override;
    void Invalidate() override;
    void DoEvents(WindowEvents& events) override;

    WindowState State() override;
    TwipsRect Placement() override;
    void SetPlacement(const TwipsRect& placement) override;
    TwipsRect PrimaryScreen() override;
    std::vector<TwipsRect> Monitors() override;
    double Dpi() override;
    PixelSize LargestSize() override;

    void SetTopmost(bool topmost) override;
    void ReleaseCapture() override;
    void BeginMove(int button) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    void ShowTip(const std::vector<std::string>& lines) override;
    void HideTip() override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnPaint();
    void OnButtonDown(int button, WPARAM keys, LPARAM position);
    void OnClose();
    void OnMouseMove();
    void OnDpiChanged(const RECT& suggested);
    bool OnSysCommand(WPARAM command, LPARAM position);

    void SetIcons(const WindowDesign& design);
    TwipsRect TwipsFromScreen(const RECT& pixels);

    HWND hwnd_ = nullptr;
    const Surface* contents_ = nullptr;
    SurfacePainter painter_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    WindowEvents* events_ = nullptr; // while DoEvents runs
    bool closePending_ = false;      // a close that came outside DoEvents
    bool pointerOn_ = false;         // the pointer is on the window, its leaving watched for
    HWND tip_ = nullptr;             // the details tip, a tracking tooltip made when first shown
    std::wstring tipText_;
};

} // namespace platform::windows_detail
