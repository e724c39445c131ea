#include "framework/window.h"

#include <cstdio>

#include "framework/module.h"

namespace fw {
namespace {

const wchar_t kContainedProp[] = L"Kvadra.Contained";

} // namespace

void ReportInvalidMapId(DWORD mapId)
{
    char text[64];
    std::snprintf(text, sizeof(text), "Invalid message map ID (%i)\n", static_cast<int>(mapId));
    OutputDebugStringA(text);
}

ATOM WindowClass::Register(WNDPROC proc)
{
    if (m_atom) return m_atom;
    // The automatic name only has to be unique in the process.
    wchar_t name[64];
    swprintf(name, 64, L"Kvadra:%p", static_cast<void*>(this));
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = m_style;
    wc.lpfnWndProc = proc;
    wc.hInstance = Module::Instance() ? Module::Instance() : GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, m_cursor);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(m_background));
    wc.lpszClassName = name;
    m_atom = RegisterClassExW(&wc);
    return m_atom;
}

HWND Window::Create(WindowClass& cls, HWND parent, const RECT& rc, DWORD style, DWORD exStyle)
{
    if (m_hwnd) return nullptr;
    ATOM atom = cls.Register(Proc);
    if (!atom) return nullptr;
    HINSTANCE inst = Module::Instance() ? Module::Instance() : GetModuleHandleW(nullptr);
    return CreateWindowExW(exStyle, MAKEINTATOM(atom), nullptr, style, rc.left, rc.top, rc.right - rc.left,
                           rc.bottom - rc.top, parent, nullptr, inst, this);
}

void Window::Destroy()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    BOOL handled = self->m_owner.ProcessWindowMessage(hwnd, msg, wp, lp, result, 0);
    if (!handled) result = DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}

HWND ContainedWindow::Create(HWND parent, const RECT& rc, LPCWSTR text, DWORD style, DWORD exStyle, UINT id)
{
    if (m_hwnd) return nullptr;
    HINSTANCE inst = Module::Instance() ? Module::Instance() : GetModuleHandleW(nullptr);
    HWND hwnd = CreateWindowExW(exStyle, m_className, text, style, rc.left, rc.top, rc.right - rc.left,
                                rc.bottom - rc.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                inst, nullptr);
    if (hwnd && !Subclass(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

BOOL ContainedWindow::Subclass(HWND hwnd)
{
    if (m_hwnd || !hwnd || !SetPropW(hwnd, kContainedProp, this)) return FALSE;
    m_hwnd = hwnd;
    m_original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    return TRUE;
}

HWND ContainedWindow::Unsubclass()
{
    HWND hwnd = m_hwnd;
    if (!hwnd) return nullptr;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
    RemovePropW(hwnd, kContainedProp);
    m_hwnd = nullptr;
    m_original = nullptr;
    return hwnd;
}

LRESULT ContainedWindow::CallOriginal(UINT msg, WPARAM wp, LPARAM lp)
{
    return m_hwnd && m_original ? CallWindowProcW(m_original, m_hwnd, msg, wp, lp) : 0;
}

void ContainedWindow::Destroy()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

LRESULT CALLBACK ContainedWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = static_cast<ContainedWindow*>(GetPropW(hwnd, kContainedProp));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    WNDPROC original = self->m_original;
    LRESULT result = 0;
    if (!self->m_owner.ProcessWindowMessage(hwnd, msg, wp, lp, result, self->m_mapId))
        result = CallWindowProcW(original, hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The window is gone: give the class its procedure back and forget it.
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(hwnd, kContainedProp);
        self->m_hwnd = nullptr;
        self->m_original = nullptr;
    }
    return result;
}

} // namespace fw
