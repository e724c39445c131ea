// Demo host: embeds the grid control in the platform's container window and
// fills a small order sheet that offers every editor kind: text boxes, a
// True/False list, a choice list, an up-down date picker, a month calendar,
// push buttons, and hints on the headers. It either shows the sheet until
// the window is closed (a playground), or, given "/png FILE", opens one
// choice list, saves a picture of the window as PNG and exits;
// given "/pages GENERAL CELLS SIZE" it saves a picture of each property
// page in the platform's property frame instead.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <commctrl.h>
#include <wincodec.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

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

// The host's own sizes are given at 96 DPI and grow with the screen's DPI,
// as any DPI-aware host's do; the control scales its built-in sizes itself.
int g_dpi = 96;
int Px(int size) { return MulDiv(size, g_dpi, 96); }

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
    int dueMonth, dueDay;
    bool paid;
    const wchar_t* status;
    const wchar_t* note;
};

// Columns of the sheet.
enum { kNumber, kItem, kQty, kPrice, kAmount, kOrdered, kDue, kPaid, kStatus, kNote, kDetails, kColumns };
// The cell whose choice list the picture shows dropped down.
constexpr int kPictureRow = 2;

VARIANT DateValue(int year, int month, int day)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    VARIANT v;
    v.vt = VT_DATE;
    SystemTimeToVariantTime(&st, &v.date);
    return v;
}

void FillSheet(ITessera* g)
{
    const Order orders[] = {
        {L"Oak desk", 2, 349.5, 6990000, 2026, 1, 14, 2, 1, true, L"Delivered", L"Delivered to the second floor office"},
        {L"Task chair", 6, 129.99, 7799400, 2026, 2, 3, 3, 2, true, L"Shipped", L"Black and grey"},
        {L"Monitor arm", 12, 45.25, 5430000, 2026, 2, 27, 3, 31, false, L"Ordered", L"Back-ordered until March"},
        {L"Desk lamp", 8, 24.9, 1992000, 2026, 3, 9, 4, 9, false, L"Ordered", L"Warm white"},
        {L"Whiteboard", 1, 1250.0, 12500000, 2026, 3, 30, 4, 30, true, L"Shipped", L"Large, wall mounted, with pens"},
        {L"Cable tray", 20, 8.75, 1750000, 2026, 4, 16, 5, 15, false, L"Ordered", L"-"},
    };
    const int n = static_cast<int>(sizeof orders / sizeof orders[0]);
    g->put_AllowDraw(0);
    g->put_Rows(n + 2);
    g->put_Cols(kColumns);
    g->put_ScrollBars(3);  // no bars: the sheet fits

    const wchar_t* titles[kColumns] = {L"#",       L"Item", L"Qty",    L"Unit price", L"Amount", L"Ordered",
                                       L"Due",     L"Paid", L"Status", L"Note",       L"Details"};
    const wchar_t* hints[kColumns] = {
        nullptr,
        L"Click a cell twice to type",
        L"Whole numbers only: letters are taken back",
        L"Shown with the pattern #,##0.00",
        L"Currency, not editable",
        L"An up-down date picker",
        L"A month calendar below the cell",
        L"A True/False list",
        L"A choice list: pick or type a status",
        L"Wrapped text; Ctrl+Enter starts a new line",
        L"A push button in the cell"};
    for (int col = 0; col < kColumns; ++col) {
        PutText(g, 0, col, titles[col]);
        if (hints[col]) PutBstr(g, &ITessera::put_Hint, hints[col]);
    }
    Region(g, 0, 1, 0, kColumns - 1);
    g->put_Alignment(2);
    g->put_Editable(VARIANT_FALSE);

    // Editor kinds per column (TypeEx bits: 1 Calendar, 2 Edit, 4 ComboBox, 8 Button).
    Region(g, 1, kItem, n, kItem);
    g->put_TypeEx(2);
    Region(g, 1, kQty, n, kQty);
    g->put_CType(2);
    g->put_TypeEx(2);
    Region(g, 1, kPrice, n, kPrice);
    g->put_CType(4);
    g->put_TypeEx(2);
    PutBstr(g, &ITessera::put_NUMFormat, L"#,##0.00");
    Region(g, 1, kAmount, n + 1, kAmount);
    g->put_CType(5);
    g->put_Editable(VARIANT_FALSE);
    Region(g, 1, kOrdered, n, kOrdered);
    g->put_CType(7);
    g->put_TypeEx(2);
    PutBstr(g, &ITessera::put_DTFormat, L"dd'.'MM'.'yyyy");
    Region(g, 1, kDue, n, kDue);
    g->put_CType(7);
    g->put_TypeEx(1);
    PutBstr(g, &ITessera::put_DTFormat, L"yyyy'-'MM'-'dd");
    Region(g, 1, kPaid, n, kPaid);
    g->put_CType(0);
    g->put_TypeEx(4);
    Region(g, 1, kStatus, n, kStatus);
    g->put_TypeEx(6);  // a list that also takes typed text
    for (const wchar_t* status : {L"Ordered", L"Shipped", L"Delivered", L"Returned"}) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(status);
        g->AddCRVariant(v, v.bstrVal);
        VariantClear(&v);
    }
    Region(g, 1, kNote, n, kNote);
    g->put_TypeEx(2);
    Region(g, 1, kDetails, n, kDetails);
    g->put_TypeEx(8);

    for (int i = 0; i < n; ++i) {
        const int row = i + 1;
        const Order& o = orders[i];
        wchar_t number[8];
        swprintf(number, 8, L"%d", row);
        PutText(g, row, kNumber, number);
        PutText(g, row, kItem, o.item);
        VARIANT v;
        v.vt = VT_I4;
        v.lVal = o.qty;
        PutValue(g, row, kQty, v);
        v.vt = VT_R8;
        v.dblVal = o.price;
        PutValue(g, row, kPrice, v);
        v.vt = VT_CY;
        v.cyVal.int64 = o.cents;
        PutValue(g, row, kAmount, v);
        PutValue(g, row, kOrdered, DateValue(o.year, o.month, o.day));
        PutValue(g, row, kDue, DateValue(o.year, o.dueMonth, o.dueDay));
        v.vt = VT_BOOL;
        v.boolVal = o.paid ? VARIANT_TRUE : VARIANT_FALSE;
        PutValue(g, row, kPaid, v);
        g->put_FontColor(o.paid ? RGB(0, 128, 0) : RGB(192, 0, 0));
        PutText(g, row, kStatus, o.status);
        PutText(g, row, kNote, o.note);
        PutText(g, row, kDetails, L"View");
    }

    // Totals row.
    const int total = n + 1;
    PutText(g, total, kNumber, L"");
    PutText(g, total, kItem, L"Total");
    long long sum = 0;
    for (const Order& o : orders) sum += o.cents;
    VARIANT v;
    v.vt = VT_CY;
    v.cyVal.int64 = sum;
    PutValue(g, total, kAmount, v);
    Region(g, total, 1, total, kColumns - 1);
    g->put_Color(RGB(255, 242, 204));
    g->put_Editable(VARIANT_FALSE);
    PutFont(g, MakeFont(L"Tahoma", 9, true, false));

    // Numbers right, dates and flags centred, notes wrapped in italics.
    Region(g, 1, kQty, total, kAmount);
    g->put_Alignment(1);
    Region(g, 1, kOrdered, n, kPaid);
    g->put_Alignment(2);
    Region(g, 1, kNote, n, kNote);
    g->put_WordWrap(1);
    PutFont(g, MakeFont(L"Tahoma", 8, false, true));
    g->put_FontColor(RGB(64, 64, 128));
    Region(g, 1, kItem, n, kItem);
    PutFont(g, MakeFont(L"Tahoma", 9, true, false));
    Region(g, 3, 1, 3, kColumns - 1);
    g->put_Color(RGB(255, 230, 230));
    Region(g, 2, kPrice, 2, kPrice);
    g->put_Color(RGB(220, 240, 255));

    g->put_FixedColor(RGB(214, 226, 240));
    g->put_BackColor(RGB(250, 250, 250));
    g->put_BorderStyle(1);
    g->put_EditMultiline(VARIANT_FALSE);
    g->AdjustColWidths();
    g->put_ColWidth(kStatus, Px(96));
    g->put_ColWidth(kNote, Px(150));
    g->put_ColWidth(kDetails, Px(64));
    g->put_RowHeight(0, Px(22));
    for (int row = 1; row <= n; ++row) g->put_RowHeight(row, Px(32));
    g->put_RowHeight(total, Px(22));
    g->put_AllowDraw(1);
}

// Opens the choice list of one Status cell, as a user would: a click makes
// it the current cell, and ShowEdit opens its editor (dropped down).
void OpenChoiceList(HWND gridWindow, ITessera* g)
{
    int x = 0, y = 0, w = 0, h = 0;
    for (int col = 0; col < kStatus; ++col) g->get_ColWidth(col, &w), x += w;
    for (int row = 0; row < kPictureRow; ++row) g->get_RowHeight(row, &h), y += h;
    g->get_ColWidth(kStatus, &w);
    g->get_RowHeight(kPictureRow, &h);
    const LPARAM at = MAKELPARAM(x + w / 2, y + h / 2);
    SendMessageW(gridWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(gridWindow, WM_LBUTTONUP, 0, at);
    g->ShowEdit();
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

// The control sees keys before they are dispatched, as in any container:
// Enter, Escape, Tab, the arrows and the clipboard keys.
IOleInPlaceActiveObject* g_active = nullptr;

void Dispatch(MSG& msg)
{
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && g_active
        && g_active->TranslateAccelerator(&msg) == S_OK)
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Pump(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
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
    RECT outer = {0, 0, Px(760), Px(300)};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"Kvadra Tessera demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    HWND container = CreateWindowExW(0, L"AtlAxWin", L"Kvadra.Tessera.1", WS_CHILD | WS_VISIBLE, 0, 0, Px(760), Px(300),
                                     frame, nullptr, wc.hInstance, nullptr);
    Ptr<IUnknown> unk;
    Ptr<ITessera> grid;
    Ptr<IOleInPlaceActiveObject> active;
    Ptr<IOleWindow> window;
    HWND gridWindow = nullptr;
    if (!container || FAILED(getControl(container, &unk)) || !unk
        || FAILED(unk->QueryInterface(IID_ITessera, grid.Void()))
        || FAILED(unk->QueryInterface(IID_IOleInPlaceActiveObject, active.Void()))
        || FAILED(unk->QueryInterface(IID_IOleWindow, window.Void())) || FAILED(window->GetWindow(&gridWindow))) {
        std::fprintf(stderr, "demo: the Kvadra.Tessera control could not be created (is it registered?)\n");
        return 1;
    }
    FillSheet(grid.p);
    // The whole sheet, no more: size the window to the table.
    int width = 0, height = 0;
    grid->get_TotalWidth(&width);
    grid->get_TotalHeight(&height);
    outer = RECT{0, 0, width + Px(20), height + Px(20)};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    grid->Update();
    g_active = active.p;

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
        OpenChoiceList(gridWindow, grid.p);
        Pump(500);
        if (SavePng(frame, png)) {
            std::printf("%ls\n", png);
        } else {
            std::fprintf(stderr, "demo: could not write %ls\n", png);
            rc = 1;
        }
        g_active = nullptr;
        DestroyWindow(frame);
        Pump(100);
    } else {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
        g_active = nullptr;
    }
    return rc;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* png = (argc == 3 && lstrcmpiW(argv[1], L"/png") == 0) ? argv[2] : nullptr;
    const wchar_t* const* pages = (argc == 5 && lstrcmpiW(argv[1], L"/pages") == 0) ? argv + 2 : nullptr;
    // The platform does not stretch what a DPI-aware process draws.
    SetProcessDPIAware();
    if (HDC screen = GetDC(nullptr)) {
        g_dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int rc = Run(png, pages);
    OleUninitialize();
    return rc;
}
