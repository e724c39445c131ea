// Windows with message tables, after the fashion of a message map: a
// control declares one table of entries for its own window (table 0) and
// numbered alternate tables for child windows it contains.
#pragma once

#include <windows.h>

namespace fw {

// Anything that can route a message through its tables. Returns TRUE when
// some entry handled the message; result then holds the answer.
class MessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result,
                                      DWORD mapId) = 0;

protected:
    ~MessageMap() = default;
};

// One entry of a table. Entries of the same table are tried in order; a
// handler is entered with handled set to TRUE and may clear it to let the
// next matching entry see the message.
template <class T>
struct MessageEntry {
    DWORD map;       // 0 for the window's own table, 1.. for alternate tables
    UINT first;      // message, or first of a range
    UINT last;       // same as first for a single message
    LRESULT (T::*handler)(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
};

#define FW_MESSAGE(Map, Msg, Class, Fn) { Map, Msg, Msg, &Class::Fn }
#define FW_MESSAGE_RANGE(Map, First, Last, Class, Fn) { Map, First, Last, &Class::Fn }

// Reports a table number the owner does not have, as a debug build would.
void ReportInvalidMapId(DWORD mapId);

// Runs msg through the entries of table mapId. highestMap is the highest
// table number the owner declares; any number above it is reported and
// left unhandled.
template <class T, size_t N>
BOOL DispatchMessageTable(T* self, const MessageEntry<T> (&table)[N], DWORD highestMap, UINT msg, WPARAM wp,
                          LPARAM lp, LRESULT& result, DWORD mapId)
{
    if (mapId > highestMap) {
        ReportInvalidMapId(mapId);
        return FALSE;
    }
    for (const MessageEntry<T>& e : table) {
        if (e.map != mapId || msg < e.first || msg > e.last) continue;
        BOOL handled = TRUE;
        LRESULT r = (self->*e.handler)(msg, wp, lp, handled);
        if (handled) {
            result = r;
            return TRUE;
        }
    }
    return FALSE;
}

// Registers a window class under an automatic name on first use.
class WindowClass {
public:
    WindowClass(UINT style, int background, LPCWSTR cursor) : m_style(style), m_background(background), m_cursor(cursor) {}
    ATOM Register(WNDPROC proc);

private:
    UINT m_style;
    int m_background;
    LPCWSTR m_cursor;
    ATOM m_atom = 0;
};

// A window of our own class whose messages go to a MessageMap, table 0.
class Window {
public:
    explicit Window(MessageMap& owner) : m_owner(owner) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() { Destroy(); }

    HWND Create(WindowClass& cls, HWND parent, const RECT& rc, DWORD style, DWORD exStyle = 0);
    void Destroy();
    HWND Handle() const { return m_hwnd; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    MessageMap& m_owner;
    HWND m_hwnd = nullptr;
};

// A child window of a given class (or an existing window), subclassed so
// that its messages go first to an alternate table of its owner; messages
// the table leaves alone go on to the class's own procedure.
class ContainedWindow {
public:
    ContainedWindow(LPCWSTR className, MessageMap& owner, DWORD mapId)
        : m_className(className), m_owner(owner), m_mapId(mapId) {}
    ContainedWindow(const ContainedWindow&) = delete;
    ContainedWindow& operator=(const ContainedWindow&) = delete;
    ~ContainedWindow() { Destroy(); }

    HWND Create(HWND parent, const RECT& rc, LPCWSTR text, DWORD style, DWORD exStyle = 0, UINT id = 0);
    BOOL Subclass(HWND hwnd);
    HWND Unsubclass();
    void Destroy();

    HWND Handle() const { return m_hwnd; }
    // The class's own procedure, bypassing the tables.
    LRESULT CallOriginal(UINT msg, WPARAM wp, LPARAM lp);
    DWORD MapId() const { return m_mapId; }
    LPCWSTR ClassName() const { return m_className; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    LPCWSTR m_className;
    MessageMap& m_owner;
    DWORD m_mapId;
    HWND m_hwnd = nullptr;
    WNDPROC m_original = nullptr;
};

} // namespace fw
