// Mutated streams and hostile property bags loaded into one live control,
// under Wine. Disabled: `make fuzz` runs it with --gtest_also_run_disabled_tests
// (KVADRA_FUZZ_RUNS inputs of each kind, 100,000 by default).
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "control/Tessera.h"
#include "control/control_test.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/dll.h"

namespace {

using namespace control_test;

long Runs()
{
    const char* text = std::getenv("KVADRA_FUZZ_RUNS");
    return text ? std::atol(text) : 100000;
}

// The table grows before any memory check can refuse it: inputs that would
// ask for more than a million cells are left out, so the run cannot take
// the machine with it. Reads TabStop, Cols, Rows, FixedCols and FixedRows
// as the setters would get them.
bool SmallEnough(const Bytes& b)
{
    BytesSource in(b);
    uint32_t word = 0;
    for (int i = 0; i < 3; ++i)
        if (record::ReadWord(in, word) != record::Status::Ok) return true;
    long long size[5] = {0, 10, 10, 0, 0};
    for (int i = 0; i < 5; ++i) {
        record::Record r;
        if (record::ReadRecord(in, r) != record::Status::Ok || record::BodyOf(r.vt) == record::Body::Object) break;
        fw::Variant v;
        if (record::BodyOf(r.vt) == record::Body::Fixed) {
            v.Ref().vt = r.vt;
            std::memcpy(&v.Ref().bVal, r.fixed, r.fixedSize);
        } else {
            v.Ref().vt = VT_BSTR;
            v.Ref().bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(r.text.data()),
                                                static_cast<UINT>(r.text.size()));
        }
        if (FAILED(VariantChangeType(v.Ptr(), v.Ptr(), 0, VT_I4))) break;
        size[i] = v.Ref().lVal;
    }
    long long cols = std::max(size[1], size[3]), rows = std::max(size[2], size[4]);
    return cols <= 0 || rows <= 0 || cols * rows <= 1000000 || cols * rows > 200000000;
}

TEST(LiveFuzz, DISABLED_StreamsAndBags)
{
    fw::ComPtr<ITessera> grid;
    ASSERT_HRESULT_SUCCEEDED(test::CreateFromDll(CLSID_Tessera, nullptr, IID_ITessera, grid.PutVoid()));
    fw::ComPtr<IPersistStreamInit> stream;
    fw::ComPtr<IPersistPropertyBag> bagLoader;
    grid->QueryInterface(IID_IPersistStreamInit, stream.PutVoid());
    grid->QueryInterface(IID_IPersistPropertyBag, bagLoader.PutVoid());

    fw::ComPtr<IStream> base = StreamOf({});
    ASSERT_EQ(S_OK, stream->Save(base.Get(), TRUE));
    const Bytes seed = ReadAll(base.Get());
    size_t keys = 0;
    const fw::PropertyEntry* table = TesseraProperties(keys);

    std::mt19937 random(20261206);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    const uint32_t lengths[] = {0, 1, 3, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFE, 0x10000, 2};
    const long runs = Runs();
    long loaded = 0, skipped = 0, succeeded = 0;
    for (long i = 0; i < runs; ++i) {
        Bytes b = seed;
        for (size_t m = 1 + pick(4); m-- > 0 && !b.empty();) {
            size_t at = pick(b.size());
            switch (pick(6)) {
            case 0: b[at] ^= static_cast<uint8_t>(1u << pick(8)); break;
            case 1: b.resize(at); break;
            case 2: if (at + 4 <= b.size()) std::memcpy(&b[at], &lengths[pick(8)], 4); break;
            case 3: if (at + 2 <= b.size()) { b[at] = static_cast<uint8_t>(random()); b[at + 1] = static_cast<uint8_t>(pick(3) ? 0 : random()); } break;
            case 4: if (at + 16 <= b.size()) std::memcpy(&b[at], kOwnClass.data(), 16); break;
            default: b[at] = static_cast<uint8_t>(random()); break;
            }
        }
        if (!SmallEnough(b)) {
            ++skipped;
            continue;
        }
        if (stream->Load(StreamOf(b).Get()) == S_OK) ++succeeded;
        ++loaded;
        int rows = 0, cols = 0;
        ASSERT_EQ(S_OK, grid->get_Rows(&rows));
        grid->get_Cols(&cols);
        if (static_cast<long long>(rows) * cols > 100000) grid->put_Rows(10);
    }

    const std::wstring hostile[] = {L"2147483647", L"-5", L"-2147483648", L"4294967296", L"abc", L"", L"1e308",
                                    L"0x10", L"  7", std::wstring{wchar_t(0xFFFF), wchar_t(0xD800)}, L"12.5", L"-1", std::wstring(300, L'd'),
                                    std::wstring(1 << 20, L'9'), L"dd MM yyyy HH mm ss dd MM yyyy HH mm ss"};
    long bags = 0;
    for (long i = 0; i < runs; ++i) {
        Bag bag;
        for (size_t k = 1 + pick(5); k-- > 0;) {
            const wchar_t* key = table[pick(keys)].name;
            std::wstring value = hostile[pick(sizeof hostile / sizeof hostile[0])];
            // No grow past a million cells (see SmallEnough): the cap refuses the biggest.
            bool size = !wcscmp(key, L"Rows") || !wcscmp(key, L"Cols") || !wcscmp(key, L"FixedRows") ||
                        !wcscmp(key, L"FixedCols");
            if (size && value != L"2147483647" && value != L"-5" && value != L"abc") value = std::to_wstring(pick(300));
            if (!wcscmp(key, L"Widths") || !wcscmp(key, L"Heights")) value = pick(100) ? value : std::wstring(1 << 19, L'7') + L" 8";
            bag.Set(key, value.c_str());
        }
        bagLoader->Load(&bag, nullptr);
        ++bags;
        int rows = 0;
        ASSERT_EQ(S_OK, grid->get_Rows(&rows));
    }
    std::printf("live fuzz: %ld streams loaded (%ld whole), %ld left out as too big; %ld bags\n", loaded, succeeded,
                skipped, bags);
}

} // namespace
