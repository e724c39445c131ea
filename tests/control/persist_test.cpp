// Saving and loading a live control: the stream's bytes, round trips through
// a stream, a compound file and the container's own path, the property bag,
// the needs-saving flag, and malformed input.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "control/PropertyStore.h"
#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "control/control_test.h"
#include "support/dll.h"
#include "support/grid_helpers.h"

namespace {

using namespace control_test;
using test::NewGrid;

// What the stream stores after the extent, in order: the file format.
const struct Stored {
    DISPID id;
    VARTYPE vt;  // VT_EMPTY: the value's own type
} kStored[38] = {
    {-516, VT_BOOL}, {1, VT_INT}, {2, VT_INT}, {3, VT_INT}, {4, VT_INT}, {5, VT_INT}, {6, VT_BOOL},
    {7, VT_DISPATCH}, {8, VT_DISPATCH}, {9, VT_DISPATCH}, {10, VT_UI4}, {11, VT_UI4}, {12, VT_UI4},
    {13, VT_UI4}, {14, VT_INT}, {15, VT_INT}, {16, VT_BOOL}, {17, VT_BOOL}, {18, VT_BOOL}, {19, VT_BOOL},
    {20, VT_INT}, {21, VT_BOOL}, {22, VT_BOOL}, {23, VT_BOOL}, {24, VT_INT}, {25, VT_DISPATCH},
    {28, VT_UI4}, {29, VT_EMPTY}, {30, VT_INT}, {31, VT_INT}, {32, VT_BSTR}, {33, VT_BSTR}, {35, VT_BSTR},
    {67, VT_INT}, {68, VT_INT}, {69, VT_BOOL}, {71, VT_BSTR}, {72, VT_BSTR},
};

Bytes Save(IUnknown* g, HRESULT* result = nullptr)
{
    fw::ComPtr<IStream> s = StreamOf({});
    HRESULT hr = As<IPersistStreamInit>(g, IID_IPersistStreamInit)->Save(s.Get(), TRUE);
    if (result) *result = hr;
    else EXPECT_EQ(S_OK, hr);
    return ReadAll(s.Get());
}

HRESULT Load(IUnknown* g, const Bytes& b)
{
    return As<IPersistStreamInit>(g, IID_IPersistStreamInit)->Load(StreamOf(b).Get());
}

HRESULT GetById(IUnknown* g, DISPID id, VARIANT* out)
{
    DISPPARAMS none = {};
    return As<IDispatch>(g, IID_IDispatch)->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
}

std::wstring FontText(IUnknown* f)
{
    if (!f) return L"<no font>";
    auto font = As<IFont>(f, IID_IFont);
    fw::Bstr name;
    CY size = {};
    BOOL bold = FALSE;
    font->get_Name(name.Put());
    font->get_Size(&size);
    font->get_Bold(&bold);
    return std::wstring(name.Get()) + L" " + std::to_wstring(size.int64) + (bold ? L" bold" : L"");
}

// Every stored property as text, fonts by name, size and weight.
std::wstring Describe(IUnknown* g)
{
    std::wstring out;
    for (const Stored& s : kStored) {
        fw::Variant v;
        if (FAILED(GetById(g, s.id, &v))) { out += L"<fail>|"; continue; }
        if (v.Ref().vt == VT_DISPATCH) { out += FontText(v.Ref().pdispVal) + L"|"; continue; }
        // A loaded Value arrives before its cell's CType, so it keeps the
        // type the cell had then: compare its text.
        if (s.id != 29) out += std::to_wstring(v.Ref().vt) + L":";
        if (SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BSTR)) && v.Ref().bstrVal) out += v.Ref().bstrVal;
        out += L"|";
    }
    SIZEL extent = {};
    As<IOleObject>(g, IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent);
    return out + std::to_wstring(extent.cx) + L"x" + std::to_wstring(extent.cy);
}

// Every property without the extent: loading sets Width and Height after
// the extent, and they decide it, so a control whose extent disagrees with
// its Width and Height comes back with the extent they give.
std::wstring Properties(IUnknown* g)
{
    const std::wstring all = Describe(g);
    return all.substr(0, all.rfind(L'|'));
}

fw::ComPtr<IFontDisp> NewFont(const wchar_t* name, int points, bool bold)
{
    FONTDESC desc = {sizeof(FONTDESC), const_cast<LPOLESTR>(name), {{static_cast<ULONG>(points * 10000), 0}},
                     static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL), ANSI_CHARSET, FALSE, FALSE, FALSE};
    fw::ComPtr<IFontDisp> font;
    OleCreateFontIndirect(&desc, IID_IFontDisp, font.PutVoid());
    return font;
}

// A grid whose stored properties are all off their defaults.
fw::ComPtr<ITessera> DistinctGrid()
{
    auto g = NewGrid();
    g->put_Cols(4);
    g->put_Rows(7);
    g->put_FixedRows(2);
    g->put_FixedCols(0);
    test::Region(g.Get(), 3, 1);
    g->put_Alignment(2);
    g->put_Editable(VARIANT_TRUE);
    g->put_FixedFont(NewFont(L"Courier New", 14, true).Get());
    g->putref_SelectedRangeFont(nullptr);
    g->put_Color(0x123456);
    g->put_FixedColor(0x010203);
    g->put_WordWrap(2);
    g->put_FixedWordWrap(0);
    g->put_DrawSelection(VARIANT_FALSE);
    g->put_BorderStyle(0);
    g->put_ScrollBars(3);
    g->put_Font(NewFont(L"Arial", 11, false).Get());
    g->put_FontColor(0x654321);
    g->put_CType(4);
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = 2.5;
    g->put_Value(v);
    g->put_TypeEx(2);
    g->put_DTFormat(fw::Bstr(L"dd.MM.yyyy").Get());
    g->put_NUMFormat(fw::Bstr(L"0.00").Get());
    g->put_Hint(fw::Bstr(L"h\u00e9 \u263A").Get());
    g->put_Widths(fw::Bstr(L"31 42 53 64").Get());
    g->put_Heights(fw::Bstr(L"11 12 13 14 15 16 17").Get());
    SIZEL extent = {5000, 6000};
    As<IOleObject>(g.Get(), IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &extent);
    return g;
}

void Put32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

TEST(Persist, StreamHoldsVersionExtentAndOneRecordOfTheTablesTypeEach)
{
    auto g = DistinctGrid();
    Bytes saved = Save(g.Get());

    Bytes want = {0x00, 0x09, 0, 0, 0x88, 0x13, 0, 0, 0x70, 0x17, 0, 0};  // 0x900, 5000, 6000
    for (const Stored& s : kStored) {
        fw::Variant v;
        ASSERT_HRESULT_SUCCEEDED(GetById(g.Get(), s.id, &v));
        VARIANT& value = v.Ref();
        if (s.vt != VT_EMPTY) {
            ASSERT_HRESULT_SUCCEEDED(VariantChangeType(&value, &value, 0, s.vt));
        }
        want.push_back(static_cast<uint8_t>(value.vt));
        want.push_back(static_cast<uint8_t>(value.vt >> 8));
        switch (value.vt) {
        case VT_BOOL: want.push_back(value.bVal); want.push_back(static_cast<uint8_t>(value.iVal >> 8)); break;
        case VT_INT: case VT_UI4: Put32(want, value.ulVal); break;
        case VT_R8: for (int i = 0; i < 8; ++i) want.push_back((&value.bVal)[i]); break;
        case VT_BSTR: {
            BSTR t = value.bstrVal;
            if (!t) { Put32(want, 0); break; }
            UINT bytes = (SysStringLen(t) + 1) * 2;
            Put32(want, bytes);
            want.insert(want.end(), reinterpret_cast<uint8_t*>(t), reinterpret_cast<uint8_t*>(t) + bytes);
            break;
        }
        case VT_DISPATCH: {
            if (!value.pdispVal) { want.insert(want.end(), 16, 0); break; }
            fw::ComPtr<IStream> font = StreamOf({});
            ASSERT_EQ(S_OK, OleSaveToStream(As<IPersistStream>(value.pdispVal, IID_IPersistStream).Get(), font.Get()));
            Bytes fb = ReadAll(font.Get());
            want.insert(want.end(), fb.begin(), fb.end());
            break;
        }
        default: FAIL() << "unexpected type " << value.vt << " of DISPID " << s.id;
        }
    }
    ASSERT_EQ(want.size(), saved.size());
    EXPECT_TRUE(want == saved);
    // Cols: VT_INT (22) whatever Invoke hands back, and its value.
    const Bytes cols = {22, 0, 4, 0, 0, 0};
    EXPECT_TRUE(std::equal(cols.begin(), cols.end(), saved.begin() + 16));

    ULARGE_INTEGER max = {};
    ASSERT_EQ(S_OK, As<IPersistStreamInit>(g.Get(), IID_IPersistStreamInit)->GetSizeMax(&max));
    EXPECT_GE(max.QuadPart, saved.size());
    EXPECT_LE(max.QuadPart, saved.size() + 3 * 64);  // fonts may reserve room
}

TEST(Persist, RoundTripsThroughAStreamAndTheStoragesContentsKeepEveryProperty)
{
    auto a = DistinctGrid();
    auto b = NewGrid();
    const std::wstring fresh = Describe(b.Get());
    Bytes saved = Save(a.Get());

    // A newer version is refused before anything changes.
    Bytes newer = saved;
    newer[0] = 0x01;
    EXPECT_EQ(E_FAIL, Load(b.Get(), newer));
    EXPECT_EQ(fresh, Describe(b.Get()));

    Bytes older = saved;
    older[1] = 0x08;
    ASSERT_EQ(S_OK, Load(b.Get(), older));
    EXPECT_EQ(Properties(a.Get()), Properties(b.Get()));
    EXPECT_EQ(S_FALSE, As<IPersistStreamInit>(b.Get(), IID_IPersistStreamInit)->IsDirty());

    // A cut stream fails and keeps what was set before the cut.
    auto c = NewGrid();
    Bytes cut(saved.begin(), saved.end() - 7);
    EXPECT_EQ(E_FAIL, Load(c.Get(), cut));
    EXPECT_EQ(7, IntOf(c.Get(), &ITessera::get_Rows));

    fw::ComPtr<IStorage> storage;
    ASSERT_EQ(S_OK, StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                                     0, storage.Put()));
    ASSERT_EQ(S_OK, As<IPersistStorage>(a.Get(), IID_IPersistStorage)->Save(storage.Get(), TRUE));
    fw::ComPtr<IStream> contents;
    ASSERT_EQ(S_OK, storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Put()));
    EXPECT_TRUE(Save(a.Get()) == ReadAll(contents.Get()));
    contents.Reset();
    auto d = NewGrid();
    ASSERT_EQ(S_OK, As<IPersistStorage>(d.Get(), IID_IPersistStorage)->Load(storage.Get()));
    EXPECT_EQ(Properties(a.Get()), Properties(d.Get()));
}

TEST(Persist, OnlyASaveThatClearsItCleansAndBadArgumentsAreRefused)
{
    auto g = NewGrid();
    auto stream = As<IPersistStreamInit>(g.Get(), IID_IPersistStreamInit);
    EXPECT_EQ(S_OK, stream->InitNew());
    fw::ComPtr<IStream> s = StreamOf({});
    ASSERT_EQ(S_OK, stream->Save(s.Get(), FALSE));
    EXPECT_EQ(S_OK, stream->IsDirty());
    ASSERT_EQ(S_OK, stream->Save(s.Get(), TRUE));
    EXPECT_EQ(S_FALSE, stream->IsDirty());
    EXPECT_EQ(E_INVALIDARG, stream->Load(nullptr));
    EXPECT_EQ(E_INVALIDARG, stream->Save(nullptr, TRUE));
    EXPECT_EQ(E_INVALIDARG, As<IPersistPropertyBag>(g.Get(), IID_IPersistPropertyBag)->Save(nullptr, TRUE, TRUE));

    // Without a top-left cell there is no per-cell value to store.
    g->put_Rows(0);
    HRESULT hr = S_OK;
    Save(g.Get(), &hr);
    EXPECT_EQ(E_FAIL, hr);
}

TEST(Persist, BagGetsEveryKeyInOrderWithTheTablesTypesAndNoNullFont)
{
    auto g = DistinctGrid();  // no selected-range font
    Bag bag;
    ASSERT_EQ(S_OK, As<IPersistPropertyBag>(g.Get(), IID_IPersistPropertyBag)->Save(&bag, TRUE, TRUE));
    size_t count = 0;
    const fw::PropertyEntry* table = TesseraProperties(count);
    ASSERT_EQ(40u, count);
    std::vector<std::pair<std::wstring, VARTYPE>> want;
    for (size_t i = 0; i < count; ++i) {
        if (std::wstring(table[i].name) == L"SelectedRangeFont") continue;
        want.emplace_back(table[i].name, table[i].vt == VT_EMPTY ? VARTYPE(VT_R8) : table[i].vt);
    }
    EXPECT_TRUE(want == bag.written);
    EXPECT_EQ(L"Scrollbars", bag.written[25].first);  // one font left out before it
}

std::vector<std::string> g_traced;
void Capture(const char* line) { g_traced.emplace_back(line); }

TEST(Persist, BagWithOnlyRowsAndColsLoadsThemAsIntAndNotesEachMissingKey)
{
    auto g = NewGrid();
    const std::wstring before = Describe(g.Get());
    Bag bag;
    bag.Set(L"Cols", L"3");
    bag.Set(L"Rows", L"12");
    size_t count = 0;
    const fw::PropertyEntry* table = TesseraProperties(count);
    SIZEL extent = {1, 2};
    g_traced.clear();
    persist::CPropertyStore store(As<IDispatch>(g.Get(), IID_IDispatch).Get(), table, count, extent, Capture);
    ASSERT_EQ(S_OK, store.Load(&bag, nullptr));

    EXPECT_EQ(VT_INT, bag.asked[L"Cols"]);
    EXPECT_EQ(VT_INT, bag.asked[L"Rows"]);
    EXPECT_EQ(3, IntOf(g.Get(), &ITessera::get_Cols));
    EXPECT_EQ(12, IntOf(g.Get(), &ITessera::get_Rows));
    EXPECT_EQ(1, extent.cx);
    EXPECT_EQ(2, extent.cy);
    ASSERT_EQ(36u, g_traced.size());
    EXPECT_EQ("Property TabStop not in Bag\n", g_traced.front());
    EXPECT_EQ("Property Heights not in Bag\n", g_traced.back());

    // Nothing else moved: the same description but for the sizes.
    auto h = NewGrid();
    h->put_Cols(3);
    h->put_Rows(12);
    EXPECT_EQ(Describe(h.Get()), Describe(g.Get()));
    EXPECT_NE(before, Describe(g.Get()));
}

TEST(Persist, FailingSetterEndsTheLoadAndKeepsWhatWasSet)
{
    auto g = NewGrid();
    Bag bag;
    bag.Set(L"Cols", L"5");
    bag.Set(L"Rows", L"7");
    bag.SetColor(L"FixedColor", 0x800000FF);  // no such system colour
    bag.Set(L"Hint", L"never");
    EXPECT_EQ(E_FAIL, As<IPersistPropertyBag>(g.Get(), IID_IPersistPropertyBag)->Load(&bag, nullptr));
    EXPECT_EQ(5, IntOf(g.Get(), &ITessera::get_Cols));
    EXPECT_EQ(7, IntOf(g.Get(), &ITessera::get_Rows));
    fw::Bstr hint;
    g->get_Hint(hint.Put());
    EXPECT_STRNE(L"never", hint.Get() ? hint.Get() : L"");  // after the failing setter: not reached
}

// ---------------------------------------------------------------- malformed input

// Version 0x900, extent 100 x 100.
Bytes Header() { return {0x00, 0x09, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0}; }

const Bytes kTab = {11, 0, 1, 0};
// Cols 4, Rows 3, FixedCols 1, FixedRows 1, Alignment 0, Editable false: up to the first font.
const Bytes kToFixedFont = {22, 0, 4, 0, 0, 0, 22, 0, 3, 0, 0, 0, 22, 0, 1, 0, 0, 0,
                            22, 0, 1, 0, 0, 0, 22, 0, 0, 0, 0, 0, 11, 0, 0, 0};

TEST(Persist, MalformedStreamsFailAndLeaveAWorkingControl)
{
    const struct { const char* what; Bytes bytes; } corpus[] = {
        {"empty", {}},
        {"half a version", {0, 9}},
        {"newest version", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"no records", Header()},
        {"odd byte count", Cat({Header(), kTab, {8, 0, 5, 0, 0, 0, 'a', 0, 'b', 0, 0}})},
        {"count past the end", Cat({Header(), kTab, {8, 0, 0xFE, 0xFF, 0xFF, 0x7F, '1', 0}})},
        {"count 4 GB", Cat({Header(), kTab, {8, 0, 0xFE, 0xFF, 0xFF, 0xFF}})},
        {"array type", Cat({Header(), kTab, {3, 0x20, 1, 0, 0, 0}})},
        {"type 0xFFFF", Cat({Header(), kTab, {0xFF, 0xFF, 1, 0, 0, 0}})},
        {"text for a number", Cat({Header(), kTab, {8, 0, 8, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0, 0, 0}})},
        {"double too big for Rows", Cat({Header(), kTab, {22, 0, 4, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x7F}})},
        {"Rows 2147483647", Cat({Header(), kTab, {22, 0, 4, 0, 0, 0, 22, 0, 0xFF, 0xFF, 0xFF, 0x7F}})},
        {"object of the control's class", Cat({Header(), kTab, kToFixedFont, {9, 0}, kOwnClass})},
        {"unknown object of the control's class", Cat({Header(), kTab, {13, 0}, kOwnClass})},
        {"font cut short", Cat({Header(), kTab, kToFixedFont, {9, 0}, kFontClass, {1, 0}})},
        {"font with garbage", Cat({Header(), kTab, kToFixedFont, {9, 0}, kFontClass, Bytes(40, 0xFF)})},
    };
    for (const auto& c : corpus) {
        auto g = NewGrid();
        EXPECT_TRUE(FAILED(Load(g.Get(), c.bytes))) << c.what;
        int rows = -1;
        EXPECT_EQ(S_OK, g->get_Rows(&rows)) << c.what;
        EXPECT_EQ(S_OK, g->put_Rows(rows + 1)) << c.what;
    }
}

TEST(Persist, HostileBagValuesDoNoHarm)
{
    std::wstring widths;
    for (int i = 0; i < 250000; ++i) widths += L"7 ";  // a megabyte of text
    const struct { const wchar_t* key; std::wstring text; } values[] = {
        {L"Rows", L"2147483647"}, {L"Cols", L"-5"}, {L"FixedRows", L"2147483647"}, {L"Widths", widths},
        {L"Heights", L"abc"}, {L"Scrollbars", L"x"}, {L"DTFormat", std::wstring(100000, L'd')},
        {L"Value", L"\uFFFF"}, {L"_cx", L"-1"}, {L"Color", L"4294967295"},
    };
    for (const auto& v : values) {
        auto g = NewGrid();
        Bag bag;
        bag.Set(v.key, v.text.c_str());
        As<IPersistPropertyBag>(g.Get(), IID_IPersistPropertyBag)->Load(&bag, nullptr);
        EXPECT_EQ(10, IntOf(g.Get(), &ITessera::get_Rows)) << testing::PrintToString(std::wstring(v.key));
    }
}

} // namespace
