#include "shell/win/info_window.h"

#include <algorithm>
#include <cmath>

#include "config/service_protocol.h"
#include "platform/dpi.h"
#include "platform/wide.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;

// Padding of the plate around the text, and its corner radius, in pixels.
constexpr float kPlatePadX = 14.0f;
constexpr float kPlatePadY = 5.0f;
constexpr float kPlateRadius = 8.0f;

void addRoundedRect(Gdiplus::GraphicsPath& path, const scribo::InfoBox& r, float radius) {
    const float d = std::min({2 * radius, r.width, r.height});
    if (d <= 0) return;
    const float right = r.x + r.width - d, bottom = r.y + r.height - d;
    path.AddArc(r.x, r.y, d, d, 180, 90);
    path.AddArc(right, r.y, d, d, 270, 90);
    path.AddArc(right, bottom, d, d, 0, 90);
    path.AddArc(r.x, bottom, d, d, 90, 90);
    path.CloseFigure();
}

}  // namespace

CWndShowInfo::~CWndShowInfo() {
    // The window goes first: its handler must not outlive the members it uses.
    hwnd_.reset();
}

bool CWndShowInfo::create(HINSTANCE instance) {
    if (hwnd_) return true;
    const wchar_t* className = platform::wz(scribo::kInfoWindowClass);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;  // the handler is attached to each window after creation
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) return false;
    }

    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    hwnd_.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE,
                                className, L"", WS_POPUP, work.left, work.bottom - kStripHeight,
                                work.right - work.left, kStripHeight, nullptr, nullptr, instance,
                                nullptr));
    if (!hwnd_) return false;
    SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWndShowInfo::proc));

    platform::WindowDc screen(nullptr);
    surface_.reset(CreateCompatibleDC(screen.get()));
    render();
    return true;
}

LRESULT CALLBACK CWndShowInfo::proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CWndShowInfo*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        KillTimer(hwnd, kTickTimer);
        self = nullptr;
    }
    if (self == nullptr) return DefWindowProcW(hwnd, msg, w, l);
    return self->handleMessage(msg, w, l);
}

LRESULT CWndShowInfo::handleMessage(UINT msg, WPARAM w, LPARAM l) {
    HWND hwnd = hwnd_.get();
    switch (msg) {
        case WM_COPYDATA:
            onCopyData(reinterpret_cast<const COPYDATASTRUCT*>(l));
            break;
        case scribo::WM_INFO_SETINTERVAL:
            setInterval(static_cast<unsigned>(w));
            return 1;
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(text_.size());
        case WM_GETTEXT: {
            // The window keeps no title; what it shows is its text.
            auto* out = reinterpret_cast<wchar_t*>(l);
            const size_t room = static_cast<size_t>(w);
            if (out == nullptr || room == 0) return 0;
            const size_t n = std::min(text_.size(), room - 1);
            std::copy_n(text_.data(), n, out);
            out[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_TIMER:
            if (w != kTickTimer) break;
            if (ticker_.tick()) {
                ShowWindow(hwnd, SW_HIDE);
                KillTimer(hwnd, kTickTimer);
            }
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;  // a click to drag the strip never takes the focus
        case WM_LBUTTONDOWN: {
            const LRESULT r = DefWindowProcW(hwnd, msg, w, l);
            ReleaseCapture();
            SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return r;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, w, l);
}

void CWndShowInfo::onCopyData(const COPYDATASTRUCT* data) {
    // Another process's pointer and size: neither is trusted past the bounded read.
    if (data != nullptr) {
        setText(scribo::textFromCopyData(data->lpData, data->cbData));
    } else {
        setText({});
    }
    ticker_.restart();
    startTicking();
}

void CWndShowInfo::startTicking() {
    SetTimer(hwnd_.get(), kTickTimer, ticker_.interval(), nullptr);
    ShowWindow(hwnd_.get(), SW_SHOWNOACTIVATE);
}

void CWndShowInfo::setText(std::u16string_view text) {
    text_ = scribo::clipInfoText(text);
    render();
}

void CWndShowInfo::showText(std::u16string_view text, unsigned intervalMs) {
    ticker_.setInterval(intervalMs);
    setText(text);
    ticker_.restart();
    startTicking();
}

void CWndShowInfo::setInterval(unsigned intervalMs) {
    ticker_.setInterval(intervalMs);
    if (!hwnd_) return;
    KillTimer(hwnd_.get(), kTickTimer);
    SetTimer(hwnd_.get(), kTickTimer, ticker_.interval(), nullptr);
}

void CWndShowInfo::moveTo(const RECT& monitor) {
    if (!hwnd_ || monitor.right <= monitor.left || monitor.bottom <= monitor.top) return;
    const int height = platform::scalePx(kStripHeight, hwnd_.get());
    SetWindowPos(hwnd_.get(), nullptr, monitor.left, monitor.bottom - height,
                 monitor.right - monitor.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    render();
}

void CWndShowInfo::setFontSize(int px) {
    if (px <= 0) return;
    fontPx_ = static_cast<float>(px);
    render();
}

void CWndShowInfo::setTextColour(uint32_t argb) {
    textColour_ = argb;
    render();
}

void CWndShowInfo::hide() {
    KillTimer(hwnd_.get(), kTickTimer);
    ticker_.restart();
    ShowWindow(hwnd_.get(), SW_HIDE);
}

const Gdiplus::FontFamily* CWndShowInfo::family() {
    if (family_) return family_.get();
    // Arial; else the default GUI font's face as named, then as the system resolves it (the
    // named face is often only a substitute that GDI+ cannot open); else GDI+'s own sans serif.
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    wchar_t resolved[LF_FACESIZE]{};
    if (platform::UniqueMemoryDc dc{CreateCompatibleDC(nullptr)}) {
        platform::SelectGuard font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
        GetTextFaceW(dc.get(), LF_FACESIZE, resolved);
    }
    for (const wchar_t* face : {L"Arial", static_cast<const wchar_t*>(lf.lfFaceName),
                                static_cast<const wchar_t*>(resolved)}) {
        if (face[0] == 0) continue;
        auto candidate = std::make_unique<Gdiplus::FontFamily>(face);
        if (candidate->IsAvailable()) {
            family_ = std::move(candidate);
            return family_.get();
        }
    }
    if (const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
        generic != nullptr && generic->IsAvailable()) {
        family_.reset(generic->Clone());
    } else {
        OutputDebugStringW(L"Scribo: no font for the info window\n");
    }
    return family_.get();
}

void CWndShowInfo::drawText(Gdiplus::Graphics& g, const Gdiplus::FontFamily& fam, float w,
                            float h) const {
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);

    std::unique_ptr<Gdiplus::StringFormat> format(
        Gdiplus::StringFormat::GenericTypographic()->Clone());
    format->SetFormatFlags(format->GetFormatFlags() | Gdiplus::StringFormatFlagsNoWrap |
                           Gdiplus::StringFormatFlagsNoClip);
    format->SetTrimming(Gdiplus::StringTrimmingNone);

    // The outline is built once without a layout limit and then moved into place: measuring its
    // ink centres exactly what is drawn, and no glyph is lost to a box that measured short.
    const int style = Gdiplus::FontStyleBold;
    Gdiplus::GraphicsPath path;
    path.AddString(platform::wz(text_), static_cast<int>(text_.size()), &fam, style, fontPx_,
                   Gdiplus::PointF(0, 0), format.get());
    Gdiplus::RectF ink;
    path.GetBounds(&ink);
    if (ink.Width <= 0 || ink.Height <= 0) return;  // nothing visible, e.g. only spaces
    const UINT16 em = fam.GetEmHeight(style);
    const float lineHeight = em > 0 ? fontPx_ * fam.GetLineSpacing(style) / em : ink.Height;
    const scribo::InfoBox box = scribo::layoutInfoText(w, h, ink.Width, lineHeight);
    Gdiplus::Matrix move;
    move.Translate(box.x - ink.X, box.y);
    path.Transform(&move);

    // A translucent plate in a colour that contrasts with the text keeps a light text readable
    // over a light desktop (and a dark text over a dark one).
    const scribo::InfoBox plate = scribo::plateAround(box, w, h, kPlatePadX, kPlatePadY);
    Gdiplus::GraphicsPath platePath;
    addRoundedRect(platePath, plate, kPlateRadius);
    Gdiplus::SolidBrush plateBrush{Gdiplus::Color(scribo::plateColourFor(textColour_))};
    g.FillPath(&plateBrush, &platePath);
    // A faint rim in the text's colour keeps the plate's shape visible on a desktop of its tone.
    // It runs along the middle of the plate's outermost pixels, so it stays one pixel wide.
    Gdiplus::GraphicsPath rimPath;
    addRoundedRect(rimPath, {plate.x + 0.5f, plate.y + 0.5f, plate.width - 1, plate.height - 1},
                   kPlateRadius - 0.5f);
    Gdiplus::Pen rim{Gdiplus::Color((textColour_ & 0x00FFFFFFu) | 0x38000000u), 1.0f};
    g.DrawPath(&rim, &rimPath);

    Gdiplus::SolidBrush fill{Gdiplus::Color(textColour_)};
    g.FillPath(&fill, &path);
}

void CWndShowInfo::render() {
    HWND hwnd = hwnd_.get();
    if (hwnd == nullptr || !surface_) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;

    // A top-down 32-bit bitmap whose pixels start fully transparent.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::UniqueBitmap bitmap(
        CreateDIBSection(surface_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return;
    platform::SelectGuard selected(surface_.get(), bitmap.get());

    const Gdiplus::FontFamily* fam = text_.empty() ? nullptr : family();
    if (fam != nullptr) {
        // GDI+ draws straight into the bitmap's premultiplied pixels, alpha included.
        Gdiplus::Bitmap canvas(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics g(&canvas);
        drawText(g, *fam, static_cast<float>(w), static_cast<float>(h));
        g.Flush(Gdiplus::FlushIntentionSync);
    }

    POINT origin{0, 0};
    SIZE size{w, h};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, surface_.get(), &origin, 0, &blend,
                        ULW_ALPHA);
}
