#include "control/PropertyStore.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "control/StoredRecord.h"
#include "framework/com_ptr.h"

namespace persist {

void DebugTrace(const char* line) { OutputDebugStringA(line); }

namespace {

class StreamSource final : public record::Source {
public:
    explicit StreamSource(IStream* s) : m_s(s) {}
    size_t Read(void* buffer, size_t size) override
    {
        ULONG got = 0;
        // A short count is the end, whatever the stream answers.
        if (FAILED(m_s->Read(buffer, static_cast<ULONG>(size), &got))) return 0;
        return got;
    }
    bool Remaining(uint64_t& bytes) override
    {
        STATSTG st = {};
        ULARGE_INTEGER pos = {};
        LARGE_INTEGER zero = {};
        if (FAILED(m_s->Seek(zero, STREAM_SEEK_CUR, &pos)) || FAILED(m_s->Stat(&st, STATFLAG_NONAME))) return false;
        bytes = st.cbSize.QuadPart > pos.QuadPart ? st.cbSize.QuadPart - pos.QuadPart : 0;
        return true;
    }

private:
    IStream* m_s;
};

class StreamSink final : public record::Sink {
public:
    explicit StreamSink(IStream* s) : m_s(s) {}
    bool Write(const void* buffer, size_t size) override
    {
        ULONG put = 0;
        HRESULT hr = m_s->Write(buffer, static_cast<ULONG>(size), &put);
        if (SUCCEEDED(hr) && put != size) hr = STG_E_MEDIUMFULL;
        if (FAILED(hr)) m_error = hr;
        return SUCCEEDED(hr);
    }
    HRESULT Error() const { return FAILED(m_error) ? m_error : E_FAIL; }

private:
    IStream* m_s;
    HRESULT m_error = S_OK;
};

HRESULT FromStatus(record::Status status)
{
    return status == record::Status::Ok ? S_OK : status == record::Status::NoMemory ? E_OUTOFMEMORY : E_FAIL;
}

HRESULT Seek(IStream* s, LONGLONG offset, DWORD origin, ULARGE_INTEGER* pos = nullptr)
{
    LARGE_INTEGER move;
    move.QuadPart = offset;
    return s->Seek(move, origin, pos);
}

// The value's bytes, at the start of the VARIANT's union.
void* Payload(VARIANT& v) { return &v.bVal; }

// Asks the object for IPersistStream, then IPersistStreamInit, whose first
// methods are the same.
HRESULT PersistOf(IUnknown* object, fw::ComPtr<IPersistStream>& out)
{
    if (SUCCEEDED(object->QueryInterface(IID_IPersistStream, out.PutVoid())) && out) return S_OK;
    fw::ComPtr<IPersistStreamInit> init;
    HRESULT hr = object->QueryInterface(IID_IPersistStreamInit, init.PutVoid());
    if (FAILED(hr) || !init) return FAILED(hr) ? hr : E_NOINTERFACE;
    out = reinterpret_cast<IPersistStream*>(init.Get());
    return S_OK;
}

// The text a text record stores for v; null for a null string and for what
// has no text (VT_NULL).
BSTR TextOf(VARIANT& v, fw::Variant& text)
{
    if (v.vt == VT_BSTR) return v.bstrVal;
    if (FAILED(VariantChangeType(&text, &v, VARIANT_NOVALUEPROP, VT_BSTR))) return nullptr;
    return text.Ref().bstrVal;
}

HRESULT WriteValue(StreamSink& sink, IStream* stream, VARIANT& v)
{
    size_t size = 0;
    switch (record::BodyOf(v.vt, &size)) {
    case record::Body::Fixed:
        return record::WriteFixed(sink, v.vt, Payload(v), size) == record::Status::Ok ? S_OK : sink.Error();
    case record::Body::Text: {
        fw::Variant text;
        BSTR b = TextOf(v, text);
        auto status = record::WriteText(sink, v.vt, reinterpret_cast<const char16_t*>(b), SysStringLen(b), !b);
        return status == record::Status::Ok ? S_OK : status == record::Status::WriteFailed ? sink.Error() : E_FAIL;
    }
    case record::Body::Object: {
        const uint8_t type[2] = {uint8_t(v.vt), uint8_t(v.vt >> 8)};
        if (!sink.Write(type, 2)) return sink.Error();
        if (!v.punkVal) return sink.Write(&CLSID_NULL, sizeof(CLSID)) ? S_OK : sink.Error();
        fw::ComPtr<IPersistStream> persist;
        HRESULT hr = PersistOf(v.punkVal, persist);
        return FAILED(hr) ? hr : OleSaveToStream(persist.Get(), stream);
    }
    case record::Body::Unknown:
        break;
    }
    return E_FAIL;
}

// Reads one record into value; objects are loaded from the stream.
HRESULT ReadValue(IStream* stream, VARIANT& value)
{
    StreamSource source(stream);
    ULARGE_INTEGER start = {};
    HRESULT hr = Seek(stream, 0, STREAM_SEEK_CUR, &start);
    if (FAILED(hr)) return hr;
    record::Record r;
    record::Status status = record::ReadRecord(source, r);
    if (status != record::Status::Ok) {
        // A record that cannot be read leaves the stream at its start.
        Seek(stream, static_cast<LONGLONG>(start.QuadPart), STREAM_SEEK_SET);
        return FromStatus(status);
    }
    switch (record::BodyOf(r.vt)) {
    case record::Body::Fixed:
        value.vt = r.vt;
        memcpy(Payload(value), r.fixed, r.fixedSize);
        return S_OK;
    case record::Body::Object: {
        value.vt = r.vt;
        value.punkVal = nullptr;
        if (r.object.IsNull()) return S_OK;
        // The class id is read and is the standard font's: make one and let
        // it read its data. Only a loaded object is handed out.
        fw::ComPtr<IPersistStream> font;
        hr = CoCreateInstance(CLSID_StdFont, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStream, font.PutVoid());
        if (SUCCEEDED(hr)) hr = font->Load(stream);
        if (SUCCEEDED(hr))
            hr = font->QueryInterface(r.vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                      reinterpret_cast<void**>(&value.punkVal));
        return hr;
    }
    case record::Body::Text:
        break;
    case record::Body::Unknown:
        return E_FAIL;
    }
    if (r.text.size() > 0x7FFFFFFF) return E_OUTOFMEMORY;
    BSTR text = nullptr;
    if (!r.nullText) {
        text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(r.text.data()), static_cast<UINT>(r.text.size()));
        if (!text) return E_OUTOFMEMORY;
    }
    value.vt = VT_BSTR;
    value.bstrVal = text;
    if (r.vt == VT_BSTR) return S_OK;
    if (r.vt == VT_EMPTY || r.vt == VT_NULL) {
        VariantClear(&value);
        value.vt = r.vt;
        return S_OK;
    }
    return VariantChangeType(&value, &value, 0, r.vt);
}

std::string Narrow(const wchar_t* name)
{
    std::string out;
    for (; name && *name; ++name) out += *name < 128 ? static_cast<char>(*name) : '?';
    return out;
}

} // namespace

LONG* CPropertyStore::ExtentOf(size_t index) const noexcept
{
    if (m_table[index].dispid != 0) return nullptr;
    return index == 0 ? &m_extent.cx : &m_extent.cy;
}

void CPropertyStore::Trace(const char* format, const wchar_t* name, long number)
{
    char line[256];
    if (name) snprintf(line, sizeof line, format, Narrow(name).c_str());
    else snprintf(line, sizeof line, format, static_cast<unsigned long>(number));
    m_trace(line);
}

HRESULT CPropertyStore::Get(const fw::PropertyEntry& entry, VARIANT& value)
{
    VariantClear(&value);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    HRESULT hr = m_object->Invoke(entry.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  &value, nullptr, nullptr);
    // The table's type, not whatever the type library's Invoke hands back
    // (VT_I4 for an int on some platforms): the bytes stay the same.
    if (SUCCEEDED(hr) && entry.vt != VT_EMPTY && value.vt != entry.vt)
        hr = VariantChangeType(&value, &value, 0, entry.vt);
    if (FAILED(hr)) {
        Trace("Invoked failed on DISPID %x\n", nullptr, entry.dispid);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CPropertyStore::Put(const fw::PropertyEntry& entry, VARIANT& value)
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    HRESULT hr = m_object->Invoke(entry.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                  nullptr, nullptr, nullptr);
    return FAILED(hr) ? E_FAIL : S_OK;
}

// ---------------------------------------------------------------- stream

HRESULT CPropertyStore::Load(IStream* stream)
{
    StreamSource source(stream);
    uint32_t version = 0;
    if (record::ReadWord(source, version) != record::Status::Ok) return E_FAIL;
    if (version > record::kVersion) return E_FAIL;
    for (size_t i = 0; i < m_count; ++i) {
        if (LONG* raw = ExtentOf(i)) {
            uint32_t word = 0;
            if (record::ReadWord(source, word) != record::Status::Ok) return E_FAIL;
            *raw = static_cast<LONG>(word);
            continue;
        }
        fw::Variant value;
        HRESULT hr = ReadValue(stream, value.Ref());
        if (FAILED(hr)) return hr == E_OUTOFMEMORY ? hr : E_FAIL;
        if (FAILED(Put(m_table[i], value.Ref()))) return E_FAIL;
    }
    return S_OK;
}

HRESULT CPropertyStore::Save(IStream* stream)
{
    StreamSink sink(stream);
    if (!record::WriteWord(sink, record::kVersion)) return sink.Error();
    for (size_t i = 0; i < m_count; ++i) {
        if (LONG* raw = ExtentOf(i)) {
            if (!record::WriteWord(sink, static_cast<uint32_t>(*raw))) return sink.Error();
            continue;
        }
        fw::Variant value;
        HRESULT hr = Get(m_table[i], value.Ref());
        if (SUCCEEDED(hr)) hr = WriteValue(sink, stream, value.Ref());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CPropertyStore::SizeMax(ULARGE_INTEGER* size)
{
    if (!size) return E_POINTER;
    uint64_t total = 4;
    for (size_t i = 0; i < m_count; ++i) {
        if (ExtentOf(i)) {
            total += 4;
            continue;
        }
        fw::Variant value;
        if (FAILED(Get(m_table[i], value.Ref()))) return E_FAIL;
        VARIANT& v = value.Ref();
        size_t fixed = 0;
        switch (record::BodyOf(v.vt, &fixed)) {
        case record::Body::Fixed: total += 2 + fixed; break;
        case record::Body::Object: {
            total += 2 + sizeof(CLSID);
            fw::ComPtr<IPersistStream> persist;
            ULARGE_INTEGER own = {};
            if (v.punkVal && SUCCEEDED(PersistOf(v.punkVal, persist)) && SUCCEEDED(persist->GetSizeMax(&own)))
                total += own.QuadPart;
            break;
        }
        case record::Body::Text: {
            fw::Variant text;
            BSTR b = TextOf(v, text);
            total += record::TextRecordSize(SysStringLen(b), !b);
            break;
        }
        case record::Body::Unknown: return E_FAIL;
        }
    }
    size->QuadPart = total;
    return S_OK;
}

// ---------------------------------------------------------------- property bag

HRESULT CPropertyStore::Load(IPropertyBag* bag, IErrorLog* log)
{
    for (size_t i = 0; i < m_count; ++i) {
        const fw::PropertyEntry& entry = m_table[i];
        fw::Variant value;
        if (LONG* raw = ExtentOf(i)) {
            value.Ref().vt = VT_UI4;
            if (SUCCEEDED(bag->Read(entry.name, value.Ptr(), log)) &&
                SUCCEEDED(VariantChangeType(value.Ptr(), value.Ptr(), 0, VT_UI4)))
                *raw = static_cast<LONG>(value.Ref().ulVal);
            continue;
        }
        // The bag converts its stored text to the type the property has now.
        if (FAILED(Get(entry, value.Ref()))) return E_FAIL;
        VARTYPE type = value.Ref().vt;
        value.Clear();
        VariantInit(value.Ptr());
        value.Ref().vt = type;
        value.Ref().llVal = 0;  // no stale pointer under the requested type
        HRESULT hr = bag->Read(entry.name, value.Ptr(), log);
        if (FAILED(hr)) VariantInit(value.Ptr());  // whatever a failing bag left is not ours
        if (hr == E_INVALIDARG) {
            Trace("Property %s not in Bag\n", entry.name);
            continue;
        }
        if (FAILED(hr)) {
            Trace("Error attempting to read Property %s from PropertyBag \n", entry.name);
            continue;
        }
        // A bag may hand back any object: only fonts go to the setters.
        VARIANT& v = value.Ref();
        if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && v.punkVal) {
            fw::ComPtr<IFont> font;
            if (FAILED(v.punkVal->QueryInterface(IID_IFont, font.PutVoid())) || !font) return E_FAIL;
        }
        if (FAILED(Put(entry, v))) return E_FAIL;
    }
    return S_OK;
}

HRESULT CPropertyStore::Save(IPropertyBag* bag)
{
    for (size_t i = 0; i < m_count; ++i) {
        const fw::PropertyEntry& entry = m_table[i];
        fw::Variant value;
        if (LONG* raw = ExtentOf(i)) {
            value.Ref().vt = VT_UI4;
            value.Ref().ulVal = static_cast<ULONG>(*raw);
        } else if (FAILED(Get(entry, value.Ref()))) {
            return E_FAIL;
        }
        VARIANT& v = value.Ref();
        if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && !v.punkVal) {
            m_trace("Warning skipping empty IUnknown in Save\n");
            continue;
        }
        HRESULT hr = bag->Write(entry.name, value.Ptr());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

} // namespace persist
