// RAII owners for the GDI and window handles the controls layer creates.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tervalon::ui::win32 {

struct GdiObjectDeleter {
    void operator()(void* object) const { if (object) DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;

struct WindowDeleter {
    void operator()(HWND window) const { if (window) DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// A memory DC with its own bitmap, for painting a window without flicker.
class BufferedPaint {
public:
    BufferedPaint(HDC target, int width, int height)
        : target_(target), width_(width), height_(height), dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
          old_(SelectObject(dc_, bitmap_.get()))
    {}
    ~BufferedPaint()
    {
        BitBlt(target_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC target_;
    int width_, height_;
    HDC dc_;
    Bitmap bitmap_;
    HGDIOBJ old_;
};

}  // namespace tervalon::ui::win32
