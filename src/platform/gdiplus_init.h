// GDI+ for the life of the guard; shut down only when the start-up succeeded.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace platform {

class GdiplusInit {
public:
    GdiplusInit() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusInit() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusInit(const GdiplusInit&) = delete;
    GdiplusInit& operator=(const GdiplusInit&) = delete;
    bool usable() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

}  // namespace platform
