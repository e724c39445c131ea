#include "control/StoredRecord.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace record {

// {0BE35203-8F91-11CE-9DE3-00AA004BB851}
const ClassId kStdFont = {{0x03, 0x52, 0xE3, 0x0B, 0x91, 0x8F, 0xCE, 0x11,
                           0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

bool ClassId::IsNull() const noexcept
{
    for (uint8_t b : bytes)
        if (b) return false;
    return true;
}

bool ClassId::operator==(const ClassId& o) const noexcept
{
    return std::memcmp(bytes, o.bytes, sizeof bytes) == 0;
}

Body BodyOf(uint16_t vt, size_t* fixedSize) noexcept
{
    size_t size = 0;
    switch (vt) {
    case vtI1: case vtUi1: size = 1; break;
    case vtI2: case vtUi2: case vtBool: size = 2; break;
    case vtI4: case vtUi4: case vtInt: case vtUint: case vtR4: case vtError: size = 4; break;
    case vtR8: case vtCy: case vtDate: case vtI8: case vtUi8: size = 8; break;
    case vtDispatch: case vtUnknown: return Body::Object;
    // Texts, and the types a writer turns into text.
    case vtBstr: case vtEmpty: case vtNull: case vtDecimal: return Body::Text;
    default: return Body::Unknown;
    }
    if (fixedSize) *fixedSize = size;
    return Body::Fixed;
}

namespace {

bool ReadAll(Source& in, void* buffer, size_t size)
{
    return in.Read(buffer, size) == size;
}

uint32_t Little32(const uint8_t* b)
{
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

// UTF-16 text is copied as is: every machine this runs on is little-endian.
// The text grows with what actually arrives, so a claimed length costs
// nothing until the bytes are there.
Status ReadText(Source& in, Record& out)
{
    uint8_t word[4];
    if (!ReadAll(in, word, 4)) return Status::Short;
    uint32_t bytes = Little32(word);
    out.text.clear();
    out.nullText = bytes == 0;
    if (bytes == 0) return Status::Ok;
    if (bytes & 1) return Status::BadLength;
    uint64_t left = 0;
    if (in.Remaining(left) && bytes > left) return Status::BadLength;

    const size_t chars = bytes / 2;
    const size_t chunk = 32768;
    try {
        size_t have = 0;
        while (have < chars) {
            size_t step = chars - have < chunk ? chars - have : chunk;
            out.text.resize(have + step);
            if (!ReadAll(in, &out.text[have], step * 2)) return Status::Short;
            have += step;
        }
    } catch (const std::bad_alloc&) {
        return Status::NoMemory;
    } catch (const std::length_error&) {
        return Status::NoMemory;
    }
    if (!out.text.empty() && out.text.back() == u'\0') out.text.pop_back();
    return Status::Ok;
}

} // namespace

Status ReadWord(Source& in, uint32_t& out)
{
    uint8_t b[4];
    if (!ReadAll(in, b, 4)) return Status::Short;
    out = Little32(b);
    return Status::Ok;
}

Status ReadRecord(Source& in, Record& out)
{
    uint8_t type[2];
    if (!ReadAll(in, type, 2)) return Status::Short;
    out = Record();
    out.vt = uint16_t(type[0] | type[1] << 8);
    switch (BodyOf(out.vt, &out.fixedSize)) {
    case Body::Fixed:
        return ReadAll(in, out.fixed, out.fixedSize) ? Status::Ok : Status::Short;
    case Body::Text:
        return ReadText(in, out);
    case Body::Object:
        if (!ReadAll(in, out.object.bytes, sizeof out.object.bytes)) return Status::Short;
        // Loading is offered untrusted streams: only fonts are ever made.
        return out.object.IsNull() || out.object == kStdFont ? Status::Ok : Status::ForeignObject;
    case Body::Unknown:
        break;
    }
    return Status::UnknownType;
}

bool WriteWord(Sink& out, uint32_t value)
{
    const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    return out.Write(b, 4);
}

namespace {
bool WriteType(Sink& out, uint16_t vt)
{
    const uint8_t b[2] = {uint8_t(vt), uint8_t(vt >> 8)};
    return out.Write(b, 2);
}
} // namespace

Status WriteFixed(Sink& out, uint16_t vt, const void* value, size_t size)
{
    size_t expected = 0;
    if (BodyOf(vt, &expected) != Body::Fixed || expected != size) return Status::UnknownType;
    return WriteType(out, vt) && out.Write(value, size) ? Status::Ok : Status::WriteFailed;
}

Status WriteText(Sink& out, uint16_t vt, const char16_t* text, size_t length, bool null)
{
    if (BodyOf(vt) != Body::Text) return Status::UnknownType;
    if (!null && length >= 0x7FFFFFFF) return Status::BadLength;
    uint32_t bytes = null ? 0 : uint32_t((length + 1) * 2);
    if (!WriteType(out, vt) || !WriteWord(out, bytes)) return Status::WriteFailed;
    if (null) return Status::Ok;
    const char16_t zero = 0;
    if (length && !out.Write(text, length * 2)) return Status::WriteFailed;
    return out.Write(&zero, 2) ? Status::Ok : Status::WriteFailed;
}

uint64_t TextRecordSize(size_t length, bool null) noexcept
{
    return 2 + 4 + (null ? 0 : (uint64_t(length) + 1) * 2);
}

} // namespace record
