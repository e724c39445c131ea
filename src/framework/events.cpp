#include "framework/events.h"

#include <new>
#include <vector>

namespace fw {
namespace {

// Owns the argument array for the whole call; clearing frees the last copies.
struct ArgArray {
    explicit ArgArray(size_t n) : v(n) { for (VARIANT& x : v) VariantInit(&x); }
    ~ArgArray() { for (VARIANT& x : v) VariantClear(&x); }
    std::vector<VARIANT> v;
};

} // namespace

void FireEvent(const ConnectionPoint& point, DISPID id, std::initializer_list<EventArg> args)
{
    const UINT count = static_cast<UINT>(args.size());
    try {
        ArgArray array(count);
        const size_t slots = point.SlotCount();
        for (size_t slot = 0; slot < slots; ++slot) {
            ComPtr<IDispatch> sink = point.Sink(slot);
            if (!sink) continue;
            // DISPPARAMS wants the last parameter first.
            UINT i = 0;
            for (const EventArg& a : args) {
                VARIANT& v = array.v[count - 1 - i++];
                VariantClear(&v);
                switch (a.kind) {
                case EventArg::Short:
                    v.vt = VT_I2;
                    v.iVal = a.value;
                    break;
                case EventArg::Text:
                    v.vt = VT_BSTR;
                    v.bstrVal = a.text ? SysAllocString(a.text) : nullptr;
                    break;
                case EventArg::CancelFlag:
                    // VT_BYREF|VT_I2: the sink writes the caller's 16 bits.
                    v.vt = VT_BYREF | VT_I2;
                    v.piVal = reinterpret_cast<SHORT*>(a.cancel);
                    break;
                }
            }
            DISPPARAMS params = {count ? array.v.data() : nullptr, nullptr, count, 0};
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        }
    } catch (const std::bad_alloc&) {
        // No room for the arguments: the event is skipped.
    }
}

} // namespace fw
