// libFuzzer target for the stream reader: a whole stored stream (version,
// extent, records) read the way the control reads it, with every record that
// reads back written again and compared. Built natively with clang by
// `make fuzz`; the reader has no platform headers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "control/StoredRecord.h"

namespace {

class Bytes final : public record::Source {
public:
    Bytes(const uint8_t* data, size_t size, bool knowsSize) : m_data(data), m_size(size), m_knowsSize(knowsSize) {}
    size_t Read(void* buffer, size_t size) override
    {
        size_t n = size < m_size - m_pos ? size : m_size - m_pos;
        if (n) std::memcpy(buffer, m_data + m_pos, n);
        m_pos += n;
        return n;
    }
    bool Remaining(uint64_t& bytes) override
    {
        bytes = m_size - m_pos;
        return m_knowsSize;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_knowsSize;
};

struct Buffer final : record::Sink {
    uint8_t data[1 << 16];
    size_t size = 0;
    bool Write(const void* p, size_t n) override
    {
        if (n > sizeof data - size) return false;
        std::memcpy(data + size, p, n);
        size += n;
        return true;
    }
};

void Check(bool ok)
{
    if (!ok) std::abort();
}

// Writes r again and reads it back: the same record must come out.
void RoundTrip(const record::Record& r)
{
    static Buffer out;
    out.size = 0;
    record::Status s = record::Status::Ok;
    if (record::BodyOf(r.vt) == record::Body::Fixed) s = record::WriteFixed(out, r.vt, r.fixed, r.fixedSize);
    else if (record::BodyOf(r.vt) == record::Body::Text)
        s = record::WriteText(out, r.vt, r.text.data(), r.text.size(), r.nullText);
    else return;
    if (s == record::Status::WriteFailed) return;  // longer than the buffer
    Check(s == record::Status::Ok);
    Check(out.size == (record::BodyOf(r.vt) == record::Body::Text ? record::TextRecordSize(r.text.size(), r.nullText)
                                                                : 2 + r.fixedSize));
    Bytes again(out.data, out.size, true);
    record::Record back;
    Check(record::ReadRecord(again, back) == record::Status::Ok);
    Check(back.vt == r.vt && back.fixedSize == r.fixedSize && std::memcmp(back.fixed, r.fixed, 8) == 0);
    // A text that ended in its own zero loses it once: the writer adds one.
    Check(back.nullText == r.nullText && (back.text == r.text || back.text + u'\0' == r.text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    // The first byte chooses a source that knows its size or one that cannot tell.
    Bytes in(data + 1, size - 1, (data[0] & 1) != 0);
    uint32_t word = 0;
    if (record::ReadWord(in, word) != record::Status::Ok || word > record::kVersion) return 0;
    for (int i = 0; i < 2; ++i)
        if (record::ReadWord(in, word) != record::Status::Ok) return 0;
    for (int i = 0; i < 38; ++i) {
        record::Record r;
        if (record::ReadRecord(in, r) != record::Status::Ok) return 0;
        Check(record::BodyOf(r.vt) != record::Body::Unknown);
        if (record::BodyOf(r.vt) == record::Body::Object) {
            Check(r.object.IsNull() || r.object == record::kStdFont);
            if (!r.object.IsNull()) return 0;  // the font's own data is the platform's to read
            continue;
        }
        RoundTrip(r);
    }
    return 0;
}
