#include "framework/events.h"

#include <new>
#include <vector>

namespace fw {
namespace {

// Owns the argument array for the whole call; clearing frees the last copies.
// Events have few arguments: they live on the stack, which a grid raising an
// event per cell feels.
class ArgArray {
public:
    explicit ArgArray(size_t n) : m_count(n), m_heap(n > kInline ? n : 0)
    {
        for (size_t i = 0; i < n; ++i) VariantInit(&Data()[i]);
    }
    ~ArgArray()
    {
        for (size_t i = 0; i < m_count; ++i) VariantClear(&Data()[i]);
    }
    ArgArray(const ArgArray&) = delete;
    ArgArray& operator=(const ArgArray&) = delete;
    VARIANT* Data() noexcept { return m_heap.empty() ? m_inline : m_heap.data(); }

private:
    static constexpr size_t kInline = 4;
    size_t m_count;
    VARIANT m_inline[kInline];
    std::vector<VARIANT> m_heap;
};

} // namespace

void FireEvent(const ConnectionPoint& point, DISPID id, std::initializer_list<EventArg> args)
{
    const UINT count = static_cast<UINT>(args.size());
    // Nobody listening: no arguments to make.
    if (!point.HasSinks()) return;
    try {
        ArgArray array(count);
        const size_t slots = point.SlotCount();
        for (size_t slot = 0; slot < slots; ++slot) {
            ComPtr<IDispatch> sink = point.Sink(slot);
            if (!sink) continue;
            // DISPPARAMS wants the last parameter first.
            UINT i = 0;
            for (const EventArg& a : args) {
                VARIANT& v = array.Data()[count - 1 - i++];
                VariantClear(&v);
                switch (a.kind) {
                case EventArg::Short:
                    v.vt = VT_I2;
                    v.iVal = a.value;
                    break;
                case EventArg::Text:
                    v.vt = VT_BSTR;
                    v.bstrVal = a.text ? SysAllocStringLen(a.text, SysStringLen(a.text)) : nullptr;
                    break;
                case EventArg::CancelFlag:
                    // VT_BYREF|VT_I2: the sink writes the caller's 16 bits.
                    v.vt = VT_BYREF | VT_I2;
                    v.piVal = reinterpret_cast<SHORT*>(a.cancel);
                    break;
                }
            }
            DISPPARAMS params = {count ? array.Data() : nullptr, nullptr, count, 0};
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        }
    } catch (const std::bad_alloc&) {
        // No room for the arguments: the event is skipped.
    }
}

} // namespace fw
