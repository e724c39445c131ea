#include "control/Embedding.h"

#include <objbase.h>
#include <olectl.h>

#include <climits>

#include "framework/com_ptr.h"

namespace embedding {

namespace {

constexpr int kHimetricPerInch = 2540;

int Convert(int value, int numerator, int denominator) noexcept
{
    if (denominator == 0) return -1;
    return MulDiv(value, numerator, denominator);
}

} // namespace

int HimetricFromPixels(int pixels, int dpi) noexcept
{
    return Convert(kHimetricPerInch, pixels, dpi);
}

int PixelsFromHimetric(int himetric, int dpi) noexcept
{
    return Convert(dpi, himetric, kHimetricPerInch);
}

SIZE ScreenDpi() noexcept
{
    SIZE dpi = {96, 96};
    if (HDC dc = GetDC(nullptr)) {
        const int x = GetDeviceCaps(dc, LOGPIXELSX), y = GetDeviceCaps(dc, LOGPIXELSY);
        if (x > 0) dpi.cx = x;
        if (y > 0) dpi.cy = y;
        ReleaseDC(nullptr, dc);
    }
    return dpi;
}

int Span(int a, int b) noexcept
{
    const long long d = static_cast<long long>(b) - a;
    const long long span = d < 0 ? -d : d;
    return span > INT_MAX ? INT_MAX : static_cast<int>(span);
}

const char* VerbName(LONG verb) noexcept
{
    switch (verb) {
    case OLEIVERB_PRIMARY: return "OLEIVERB_PRIMARY";
    case OLEIVERB_SHOW: return "OLEIVERB_SHOW";
    case OLEIVERB_OPEN: return "OLEIVERB_OPEN";
    case OLEIVERB_HIDE: return "OLEIVERB_HIDE";
    case OLEIVERB_UIACTIVATE: return "OLEIVERB_UIACTIVATE";
    case OLEIVERB_INPLACEACTIVATE: return "OLEIVERB_INPLACEACTIVATE";
    case OLEIVERB_DISCARDUNDOSTATE: return "OLEIVERB_DISCARDUNDOSTATE";
    case OLEIVERB_PROPERTIES: return "OLEIVERB_PROPERTIES";
    default: return nullptr;
    }
}

std::vector<CLSID> CreatablePages(const CLSID* pages, size_t count)
{
    std::vector<CLSID> out;
    for (size_t i = 0; i < count; ++i) {
        fw::ComPtr<IPropertyPage> page;
        if (SUCCEEDED(CoCreateInstance(pages[i], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                       page.PutVoid())))
            out.push_back(pages[i]);
    }
    return out;
}

} // namespace embedding
