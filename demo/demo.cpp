// Demo host: embeds the grid control in the platform's container window,
// fills a small order sheet and either shows it until closed or, given
// "/png FILE", saves a picture of the window as PNG and exits; given
// "/pages GENERAL CELLS SIZE" it saves a picture of each property page in
// the platform's property frame instead.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <commctrl.h>
#include <wincodec.h>

#include <cstdio>
#include <cwchar>

#include "kvadra.h"

namespace {

template <class T>
class Ptr {
public:
    Ptr() = default;
    Ptr(const Ptr&) = delete;
    Ptr& operator=(const Ptr&) = delete;
    ~Ptr() { if (p) p->Release(); }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
    void** Void() { return reinterpret_cast<void**>(&p); }
    explicit operator bool() const { return p != nullptr; }
    T* p = nullptr;
};

// The control's per-cell properties address the cell region.
void Region(ITessera* g, int row1, int col1, int row2, int col2)
{
    g->put_CRegionLeftTopX(col1);
    g->put_CRegionLeftTopY(row1);
    g->put_CRegionRightBottomX(col2);
    g->put_CRegionRightBottomY(row2);
}

void PutText(ITessera* g, int row, int col, const wchar_t* text)
{
    Region(g, row, col, row, col);
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    g->put_Value(v);
    VariantClear(&v);
}

void PutValue(ITessera* g, int row, int col, VARIANT v)
{
    Region(g, row, col, row, col);
    g->put_Value(v);
}

void PutBstr(ITessera* g, HRESULT (STDMETHODCALLTYPE ITessera::*put)(BSTR), const wchar_t* text)
{
    BSTR b = SysAllocString(text);
    (g->*put)(b);
    SysFreeString(b);
}

IFontDisp* MakeFont(const wchar_t* face, int points, bool bold, bool italic)
{
    FONTDESC desc = {};
    desc.cbSizeofstruct = sizeof desc;
    desc.lpstrName = const_cast<LPOLESTR>(face);
    desc.cySize.int64 = points * 10000LL;
    desc.sWeight = bold ? FW_BOLD : FW_NORMAL;
    desc.fItalic = italic;
    IFontDisp* font = nullptr;
    OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&font));
    return font;
}

void PutFont(ITessera* g, IFontDisp* font)
{
    if (!font) return;
    g->put_Font(font);
    font->Release();
}

struct Order {
    const wchar_t* item;
    int qty;
    double price;
    long long cents;  // amount in currency units * 10000
    int year, month, day;
    bool paid;
    const wchar_t* note;
};

void FillSheet(ITessera* g)
{
    const Order orders[] = {
        {L"Oak desk", 2, 349.5, 6990000, 2026, 1, 14, true, L"Delivered to the second floor office"},
        {L"Task chair", 6, 129.99, 7799400, 2026, 2, 3, true, L"Black and grey"},
        {L"Monitor arm", 12, 45.25, 5430000, 2026, 2, 27, false, L"Back-ordered until March"},
        {L"Desk lamp", 8, 24.9, 1992000, 2026, 3, 9, false, L"Warm white"},
        {L"Whiteboard", 1, 1250.0, 12500000, 2026, 3, 30, true, L"Large, wall mounted, with pens"},
        {L"Cable tray", 20, 8.75, 1750000, 2026, 4, 16, false, L"-"},
    };
    const int n = static_cast<int>(sizeof orders / sizeof orders[0]);
    g->put_AllowDraw(0);
    g->put_Rows(n + 2);
    g->put_Cols(8);
    g->put_ScrollBars(3);  // no bars: the sheet fits

    const wchar_t* titles[] = {L"#", L"Item", L"Qty", L"Unit price", L"Amount", L"Ordered", L"Paid", L"Note"};
    for (int col = 0; col < 8; ++col) PutText(g, 0, col, titles[col]);
    Region(g, 0, 1, 0, 7);
    g->put_Alignment(2);

    for (int i = 0; i < n; ++i) {
        const int row = i + 1;
        const Order& o = orders[i];
        wchar_t number[8];
        swprintf(number, 8, L"%d", row);
        PutText(g, row, 0, number);
        PutText(g, row, 1, o.item);

        Region(g, row, 2, row, 2);
        g->put_CType(1);
        VARIANT v;
        v.vt = VT_I4;
        v.lVal = o.qty;
        PutValue(g, row, 2, v);

        Region(g, row, 3, row, 3);
        g->put_CType(4);
        PutBstr(g, &ITessera::put_NUMFormat, L"#,##0.00");
        v.vt = VT_R8;
        v.dblVal = o.price;
        PutValue(g, row, 3, v);

        Region(g, row, 4, row, 4);
        g->put_CType(5);
        v.vt = VT_CY;
        v.cyVal.int64 = o.cents;
        PutValue(g, row, 4, v);

        Region(g, row, 5, row, 5);
        g->put_CType(7);
        PutBstr(g, &ITessera::put_DTFormat, L"dd'.'MM'.'yyyy");
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(o.year);
        st.wMonth = static_cast<WORD>(o.month);
        st.wDay = static_cast<WORD>(o.day);
        v.vt = VT_DATE;
        SystemTimeToVariantTime(&st, &v.date);
        PutValue(g, row, 5, v);

        Region(g, row, 6, row, 6);
        g->put_CType(0);
        v.vt = VT_BOOL;
        v.boolVal = o.paid ? VARIANT_TRUE : VARIANT_FALSE;
        PutValue(g, row, 6, v);
        g->put_FontColor(o.paid ? RGB(0, 128, 0) : RGB(192, 0, 0));

        PutText(g, row, 7, o.note);
    }

    // Totals row.
    const int total = n + 1;
    PutText(g, total, 0, L"");
    PutText(g, total, 1, L"Total");
    long long sum = 0;
    for (const Order& o : orders) sum += o.cents;
    Region(g, total, 4, total, 4);
    g->put_CType(5);
    VARIANT v;
    v.vt = VT_CY;
    v.cyVal.int64 = sum;
    PutValue(g, total, 4, v);
    Region(g, total, 1, total, 7);
    g->put_Color(RGB(255, 242, 204));
    PutFont(g, MakeFont(L"Tahoma", 9, true, false));

    // Numbers right, dates and flags centred, notes wrapped in italics.
    Region(g, 1, 2, total, 4);
    g->put_Alignment(1);
    Region(g, 1, 5, n, 6);
    g->put_Alignment(2);
    Region(g, 1, 7, n, 7);
    g->put_WordWrap(1);
    PutFont(g, MakeFont(L"Tahoma", 8, false, true));
    g->put_FontColor(RGB(64, 64, 128));
    Region(g, 1, 1, n, 1);
    PutFont(g, MakeFont(L"Tahoma", 9, true, false));
    Region(g, 3, 1, 3, 7);
    g->put_Color(RGB(255, 230, 230));
    Region(g, 2, 3, 2, 3);
    g->put_Color(RGB(220, 240, 255));

    g->put_FixedColor(RGB(214, 226, 240));
    g->put_BackColor(RGB(250, 250, 250));
    g->put_BorderStyle(1);
    g->AdjustColWidths();
    g->put_ColWidth(7, 150);
    g->put_RowHeight(0, 22);
    for (int row = 1; row <= n; ++row) g->put_RowHeight(row, 32);
    g->put_RowHeight(total, 22);
    g->put_AllowDraw(1);
}

bool SavePng(HWND window, const wchar_t* path)
{
    RECT rc;
    GetClientRect(window, &rc);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    bool ok = false;
    Ptr<IWICImagingFactory> factory;
    Ptr<IWICBitmap> source;
    Ptr<IWICStream> stream;
    Ptr<IWICBitmapEncoder> encoder;
    Ptr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   factory.Void()))
        && SUCCEEDED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &source))
        && SUCCEEDED(factory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromFilename(path, GENERIC_WRITE))
        && SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder))
        && SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache))
        && SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr))
        && SUCCEEDED(frame->SetSize(rc.right, rc.bottom))) {
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        ok = SUCCEEDED(frame->SetPixelFormat(&format)) && SUCCEEDED(frame->WriteSource(source.p, nullptr))
             && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    DeleteObject(bitmap);
    return ok;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        if (HWND child = GetWindow(hwnd, GW_CHILD)) MoveWindow(child, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void Pump(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// The property frame, one page after the other: a timer inside the frame's
// modal loop finds it, saves the page shown, turns to the next tab and at
// the end closes the frame.
struct PageShots {
    const wchar_t* const* files;
    int count;
    int taken;
    bool ok;
} g_shots;

BOOL CALLBACK FindPropertyFrame(HWND hwnd, LPARAM found)
{
    if (!IsWindowVisible(hwnd) || !FindWindowExW(hwnd, nullptr, L"SysTabControl32", nullptr)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

void CALLBACK ShootPage(HWND, UINT, UINT_PTR, DWORD)
{
    HWND frame = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPropertyFrame, reinterpret_cast<LPARAM>(&frame));
    if (!frame) return;
    GdiFlush();
    HWND tabs = FindWindowExW(frame, nullptr, L"SysTabControl32", nullptr);
    if (g_shots.taken < g_shots.count) {
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
        Sleep(100);
        if (SavePng(frame, g_shots.files[g_shots.taken])) {
            std::printf("%ls\n", g_shots.files[g_shots.taken]);
        } else {
            std::fprintf(stderr, "demo: could not write %ls\n", g_shots.files[g_shots.taken]);
            g_shots.ok = false;
        }
        ++g_shots.taken;
    }
    if (g_shots.taken < g_shots.count) {
        // What a click on the tab does: select it and tell the frame.
        SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(g_shots.taken), 0);
        NMHDR note = {tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(frame, WM_NOTIFY, note.idFrom, reinterpret_cast<LPARAM>(&note));
    } else {
        PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    }
}

// Shows the General, Cells and Control Size pages on the grid and saves a
// picture of each; the Cells page shows the unit price of the third order.
bool SavePages(HWND owner, ITessera* grid, const wchar_t* const* files)
{
    Region(grid, 3, 3, 3, 3);
    PutBstr(grid, &ITessera::put_Hint, L"Price per piece, before tax");
    grid->put_TypeEx(2);
    IUnknown* objects[] = {grid};
    CLSID pages[] = {CLSID_GenProp, CLSID_CellProp, CLSID_SizeCtl};
    g_shots = PageShots{files, 3, 0, true};
    const UINT_PTR timer = SetTimer(nullptr, 0, 500, ShootPage);
    const HRESULT hr = OleCreatePropertyFrame(owner, 60, 60, L"Tessera", 1, objects, 3, pages, LOCALE_USER_DEFAULT,
                                              0, nullptr);
    KillTimer(nullptr, timer);
    return SUCCEEDED(hr) && g_shots.ok && g_shots.taken == 3;
}

int Run(const wchar_t* png, const wchar_t* const* pagePngs)
{
    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto init = atl ? reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")))
                    : nullptr;
    auto getControl = atl ? reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
                                reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")))
                          : nullptr;
    if (!init || !getControl || !init()) {
        std::fprintf(stderr, "demo: atl.dll's container window is not available\n");
        return 1;
    }

    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"KvadraDemoFrame";
    RegisterClassW(&wc);
    RECT outer = {0, 0, 760, 300};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"Kvadra Tessera demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    HWND container = CreateWindowExW(0, L"AtlAxWin", L"Kvadra.Tessera.1", WS_CHILD | WS_VISIBLE, 0, 0, 760, 300,
                                     frame, nullptr, wc.hInstance, nullptr);
    Ptr<IUnknown> unk;
    Ptr<ITessera> grid;
    if (!container || FAILED(getControl(container, &unk)) || !unk
        || FAILED(unk->QueryInterface(IID_ITessera, grid.Void()))) {
        std::fprintf(stderr, "demo: the Kvadra.Tessera control could not be created (is it registered?)\n");
        return 1;
    }
    FillSheet(grid.p);
    // The whole sheet, no more: size the window to the table.
    int width = 0, height = 0;
    grid->get_TotalWidth(&width);
    grid->get_TotalHeight(&height);
    outer = RECT{0, 0, width + 20, height + 20};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    grid->Update();

    int rc = 0;
    if (pagePngs) {
        Pump(500);
        if (!SavePages(frame, grid.p, pagePngs)) {
            std::fprintf(stderr, "demo: the property pages could not be shown\n");
            rc = 1;
        }
        DestroyWindow(frame);
        Pump(100);
    } else if (png) {
        Pump(1500);
        InvalidateRect(frame, nullptr, TRUE);
        UpdateWindow(frame);
        Pump(300);
        if (SavePng(frame, png)) {
            std::printf("%ls\n", png);
        } else {
            std::fprintf(stderr, "demo: could not write %ls\n", png);
            rc = 1;
        }
        DestroyWindow(frame);
        Pump(100);
    } else {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return rc;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* png = (argc == 3 && lstrcmpiW(argv[1], L"/png") == 0) ? argv[2] : nullptr;
    const wchar_t* const* pages = (argc == 5 && lstrcmpiW(argv[1], L"/pages") == 0) ? argv + 2 : nullptr;
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int rc = Run(png, pages);
    OleUninitialize();
    return rc;
}
