// The control's property table: what is stored, and which page edits what.
#include "control/Tessera.h"

#include "control/PropertyStore.h"

namespace {

// The system's stock font and colour pages.
const CLSID kStockFontPage = {0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
const CLSID kStockColorPage = {0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

const CLSID* const General = &CLSID_GenProp;
const CLSID* const Cells = &CLSID_CellProp;
const CLSID* const Size = &CLSID_SizeCtl;
const CLSID* const Font = &kStockFontPage;
const CLSID* const Color = &kStockColorPage;

const fw::PropertyEntry kProperties[] = {
    {L"_cx", 0, VT_UI4, nullptr},
    {L"_cy", 0, VT_UI4, nullptr},
    {L"TabStop", DISPID_TABSTOP, VT_BOOL, General},
    {L"Cols", 1, VT_INT, General},
    {L"Rows", 2, VT_INT, General},
    {L"FixedCols", 3, VT_INT, General},
    {L"FixedRows", 4, VT_INT, General},
    {L"Alignment", 5, VT_INT, Cells},
    {L"Editable", 6, VT_BOOL, Cells},
    {L"FixedFont", 7, VT_DISPATCH, Font},
    {L"SelectedCellFont", 8, VT_DISPATCH, Font},
    {L"SelectedRangeFont", 9, VT_DISPATCH, Font},
    {L"Color", 10, VT_UI4, Color},
    {L"FixedColor", 11, VT_UI4, Color},
    {L"SelectedCellColor", 12, VT_UI4, Color},
    {L"SelectedRangeColor", 13, VT_UI4, Color},
    {L"WordWrap", 14, VT_INT, Cells},
    {L"FixedWordWrap", 15, VT_INT, General},
    {L"EditMultiline", 16, VT_BOOL, General},
    {L"DrawSelection", 17, VT_BOOL, General},
    {L"ShowCellHint", 18, VT_BOOL, General},
    {L"AutoAdjustLastCell", 19, VT_BOOL, General},
    {L"BorderStyle", 20, VT_INT, General},
    {L"RangeSelect", 21, VT_BOOL, General},
    {L"ColSizing", 22, VT_BOOL, General},
    {L"RowSizing", 23, VT_BOOL, General},
    {L"Scrollbars", 24, VT_INT, General},
    {L"Font", 25, VT_DISPATCH, Font},
    {L"FontColor", 28, VT_UI4, Color},
    {L"Value", 29, VT_EMPTY, Cells},  // any type: the cell's own
    {L"CType", 30, VT_INT, Cells},
    {L"TypeEx", 31, VT_INT, Cells},
    {L"DTFormat", 32, VT_BSTR, Cells},
    {L"NUMFormat", 33, VT_BSTR, Cells},
    {L"Hint", 35, VT_BSTR, Cells},
    {L"Width", 67, VT_INT, Size},
    {L"Height", 68, VT_INT, Size},
    {L"Enabled", 69, VT_BOOL, General},
    {L"Widths", 71, VT_BSTR, nullptr},
    {L"Heights", 72, VT_BSTR, nullptr},
};

} // namespace

const fw::PropertyEntry* TesseraProperties(size_t& count)
{
    count = sizeof(kProperties) / sizeof(kProperties[0]);
    return kProperties;
}

const fw::PropertyEntry* CTessera::Properties(size_t& count) const { return TesseraProperties(count); }

// The stored forms. The needs-saving flag is set by InitNew (and TabStop)
// only; a load that succeeds and a save that asks for it clear it.
namespace {
persist::CPropertyStore StoreOf(ITessera* dispatch, SIZEL& extent)
{
    return persist::CPropertyStore(dispatch, kProperties, sizeof(kProperties) / sizeof(kProperties[0]), extent);
}
} // namespace

HRESULT CTessera::LoadState(IStream* stream)
{
    HRESULT hr = StoreOf(this, m_extent).Load(stream);
    if (SUCCEEDED(hr)) SetDirty(false);
    return hr;
}

HRESULT CTessera::SaveState(IStream* stream, BOOL clearDirty)
{
    HRESULT hr = StoreOf(this, m_extent).Save(stream);
    if (SUCCEEDED(hr) && clearDirty) SetDirty(false);
    return hr;
}

HRESULT CTessera::StateSizeMax(ULARGE_INTEGER* size) { return StoreOf(this, m_extent).SizeMax(size); }

HRESULT CTessera::LoadState(IPropertyBag* bag, IErrorLog* log)
{
    HRESULT hr = StoreOf(this, m_extent).Load(bag, log);
    if (SUCCEEDED(hr)) SetDirty(false);
    return hr;
}

HRESULT CTessera::SaveState(IPropertyBag* bag, BOOL clearDirty, BOOL)
{
    HRESULT hr = StoreOf(this, m_extent).Save(bag);
    if (SUCCEEDED(hr) && clearDirty) SetDirty(false);
    return hr;
}

HRESULT CTessera::InitState()
{
    SetDirty(true);
    return S_OK;
}
