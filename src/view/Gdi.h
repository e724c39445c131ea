// Owners for the GDI objects a paint makes, so that each is gone before the
// paint returns whatever path it takes.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <utility>

#include "framework/com_ptr.h"

namespace view {

// A pen, brush, bitmap or region, deleted with the owner.
template <class H>
class CGdiObject {
public:
    CGdiObject() noexcept = default;
    explicit CGdiObject(H h) noexcept : m_h(h) {}
    CGdiObject(CGdiObject&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& o) noexcept
    {
        if (this != &o) {
            Reset();
            m_h = std::exchange(o.m_h, nullptr);
        }
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { Reset(); }

    void Reset() noexcept
    {
        if (m_h) DeleteObject(m_h);
        m_h = nullptr;
    }
    H Get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != nullptr; }

private:
    H m_h = nullptr;
};

using CPen = CGdiObject<HPEN>;
using CBrush = CGdiObject<HBRUSH>;
using CBitmap = CGdiObject<HBITMAP>;
using CRgn = CGdiObject<HRGN>;

inline CPen SolidPen(int width, COLORREF color) { return CPen(CreatePen(PS_SOLID, width, color)); }
inline CBrush SolidBrush(COLORREF color) { return CBrush(CreateSolidBrush(color)); }

// Selects an object into a context for the guard's lifetime. Declare it after
// the object it selects, so the object is deselected before it is deleted.
class CSelection {
public:
    CSelection(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc), m_old(obj ? SelectObject(dc, obj) : nullptr) {}
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;
    ~CSelection()
    {
        if (m_old) SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// SaveDC/RestoreDC for a scope.
class CSavedDC {
public:
    explicit CSavedDC(HDC dc) noexcept : m_dc(dc), m_state(SaveDC(dc)) {}
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;
    ~CSavedDC()
    {
        if (m_state) RestoreDC(m_dc, m_state);
    }

private:
    HDC m_dc;
    int m_state;
};

// A memory context and bitmap kept between paints for small surfaces: a
// move of the current cell repaints a few cells, and making a bitmap for
// each would cost more than painting them. Lent to one paint at a time.
class CSurfaceCache {
public:
    CSurfaceCache() noexcept = default;
    CSurfaceCache(const CSurfaceCache&) = delete;
    CSurfaceCache& operator=(const CSurfaceCache&) = delete;
    ~CSurfaceCache() { Reset(); }

    // Surfaces up to this many pixels are kept.
    static constexpr long kMostPixels = 1L << 17;
    // A context compatible with target, holding a bitmap of at least w x h,
    // in its initial state; null when lent out, too large or not to be had.
    HDC Lend(HDC target, int w, int h) noexcept;
    // Takes the context back and puts its initial state back.
    void Return() noexcept;
    void Reset() noexcept;

private:
    HDC m_dc = nullptr;
    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_state = 0;
    bool m_lent = false;
};

// Off-screen surface for one paint: a memory context and a bitmap of the
// rectangle's size, addressed in the target's coordinates. The picture is
// copied to the rectangle on the target when the surface is destroyed. With
// a cache, a small surface is borrowed from it.
class CMemDC {
public:
    CMemDC(HDC target, const RECT& rect, CSurfaceCache* cache = nullptr) noexcept;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;
    ~CMemDC();

    // Null when the surface could not be made; then paint on the target.
    HDC Get() const noexcept { return m_bitmap || m_cache ? m_dc : nullptr; }

private:
    HDC m_target;
    HDC m_dc = nullptr;
    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    RECT m_rect;
    CSurfaceCache* m_cache = nullptr;  // set while borrowing from it
};

// The GDI font of a font property; the font object owns it, so the object is
// kept alive while the font is selected.
class CPropertyFont {
public:
    explicit CPropertyFont(IFontDisp* disp)
    {
        if (disp) disp->QueryInterface(IID_IFont, m_font.PutVoid());
        if (m_font) m_font->get_hFont(&m_hfont);
    }
    HFONT Get() const noexcept { return m_hfont; }
    const fw::ComPtr<IFont>& Object() const noexcept { return m_font; }

private:
    fw::ComPtr<IFont> m_font;
    HFONT m_hfont = nullptr;
};

} // namespace view
