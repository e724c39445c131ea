#include "framework/connection_point.h"

#include <new>
#include <olectl.h>

namespace fw {
namespace {

// A snapshot enumerator over a list of items that are AddRef'd interface
// pointers or CONNECTDATA records.
template <class Enum, class Item, const IID* piid>
class Enumerator final : public Enum {
public:
    explicit Enumerator(std::vector<Item> items) : m_items(std::move(items)) {}
    Enumerator(const Enumerator&) = delete;
    Enumerator& operator=(const Enumerator&) = delete;
    virtual ~Enumerator() { for (Item& i : m_items) Free(i); }

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *piid)) {
            *ppv = static_cast<Enum*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG n = static_cast<ULONG>(InterlockedDecrement(&m_refs));
        if (!n) delete this;
        return n;
    }

    STDMETHOD(Next)(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_pos < m_items.size(); ++n, ++m_pos) {
            out[n] = m_items[m_pos];
            Copy(out[n]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHOD(Skip)(ULONG count) override
    {
        size_t left = m_items.size() - m_pos;
        m_pos += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHOD(Reset)() override
    {
        m_pos = 0;
        return S_OK;
    }
    STDMETHOD(Clone)(Enum** ppEnum) override
    {
        if (!ppEnum) return E_POINTER;
        std::vector<Item> copy = m_items;
        for (Item& i : copy) Copy(i);
        auto* e = new (std::nothrow) Enumerator(std::move(copy));
        if (!e) return E_OUTOFMEMORY;
        e->m_pos = m_pos;
        e->AddRef();
        *ppEnum = e;
        return S_OK;
    }

    static void Copy(IConnectionPoint*& p) { p->AddRef(); }
    static void Free(IConnectionPoint*& p) { p->Release(); }
    static void Copy(CONNECTDATA& d) { d.pUnk->AddRef(); }
    static void Free(CONNECTDATA& d) { d.pUnk->Release(); }

private:
    LONG m_refs = 0;
    std::vector<Item> m_items;
    size_t m_pos = 0;
};

using ConnectionEnum = Enumerator<IEnumConnections, CONNECTDATA, &IID_IEnumConnections>;
using PointEnum = Enumerator<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints>;

template <class E, class I, class Item>
HRESULT MakeEnum(std::vector<Item> items, I** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        auto* e = new E(std::move(items));
        e->AddRef();
        *out = e;
        return S_OK;
    } catch (const std::bad_alloc&) {
        for (Item& i : items) E::Free(i);
        return E_OUTOFMEMORY;
    }
}

} // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* piid)
{
    if (!piid) return E_POINTER;
    *piid = m_iid;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (!ppCPC) return E_POINTER;
    *ppCPC = m_container;
    m_container->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    ComPtr<IDispatch> disp;
    if (FAILED(sink->QueryInterface(m_iid, disp.PutVoid())) || !disp) return CONNECT_E_CANNOTCONNECT;
    try {
        for (size_t i = 0; i < m_sinks.size(); ++i) {
            if (!m_sinks[i]) {
                m_sinks[i] = disp;
                *cookie = static_cast<DWORD>(i + 1);
                return S_OK;
            }
        }
        m_sinks.push_back(disp);
    } catch (const std::bad_alloc&) {
        return CONNECT_E_ADVISELIMIT;
    }
    *cookie = static_cast<DWORD>(m_sinks.size());
    return S_OK;
}

bool ConnectionPoint::HasSinks() const
{
    for (const ComPtr<IDispatch>& sink : m_sinks)
        if (sink) return true;
    return false;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    if (cookie == 0 || cookie > m_sinks.size() || !m_sinks[cookie - 1]) return CONNECT_E_NOCONNECTION;
    // Take the sink out before releasing it: its release may call back in.
    ComPtr<IDispatch> gone = std::move(m_sinks[cookie - 1]);
    m_sinks[cookie - 1] = nullptr;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** ppEnum)
{
    std::vector<CONNECTDATA> items;
    try {
        for (size_t i = 0; i < m_sinks.size(); ++i) {
            if (!m_sinks[i]) continue;
            items.push_back({m_sinks[i].Get(), static_cast<DWORD>(i + 1)});
            m_sinks[i]->AddRef();
        }
    } catch (const std::bad_alloc&) {
        for (CONNECTDATA& d : items) d.pUnk->Release();
        return E_OUTOFMEMORY;
    }
    return MakeEnum<ConnectionEnum>(std::move(items), ppEnum);
}

STDMETHODIMP ConnectionPointContainerImpl::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    IConnectionPoint* point = &m_point;
    point->AddRef();
    return MakeEnum<PointEnum>(std::vector<IConnectionPoint*>{point}, ppEnum);
}

STDMETHODIMP ConnectionPointContainerImpl::FindConnectionPoint(REFIID iid, IConnectionPoint** ppCP)
{
    if (!ppCP) return E_POINTER;
    *ppCP = nullptr;
    IID mine;
    m_point.GetConnectionInterface(&mine);
    if (!IsEqualIID(iid, mine)) return CONNECT_E_NOCONNECTION;
    *ppCP = &m_point;
    m_point.AddRef();
    return S_OK;
}

} // namespace fw
