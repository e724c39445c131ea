// One VARIANT record of the control's binary stream, read and written
// against a byte source or sink. Free of platform headers, so that the file
// format can be read here and the reader fuzzed on any machine.
//
// A stream is: the version word (4 bytes), the extent width and height
// (4 bytes each), then one record per stored property. A record is a 2-byte
// VARTYPE and its body, all numbers little-endian:
//   fixed-size types      the value's bytes (1, 2, 4 or 8 of them);
//   VT_DISPATCH/UNKNOWN   a 16-byte class id, then the object's own data
//                         (none for the null class id);
//   VT_BSTR and the rest  a 4-byte byte count including the terminating
//                         zero (0 for a null string), then the UTF-16 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace record {

// The VARTYPE numbers a stream can carry.
enum VarType : uint16_t {
    vtEmpty = 0, vtNull = 1, vtI2 = 2, vtI4 = 3, vtR4 = 4, vtR8 = 5, vtCy = 6, vtDate = 7,
    vtBstr = 8, vtDispatch = 9, vtError = 10, vtBool = 11, vtUnknown = 13, vtDecimal = 14,
    vtI1 = 16, vtUi1 = 17, vtUi2 = 18, vtUi4 = 19, vtI8 = 20, vtUi8 = 21, vtInt = 22, vtUint = 23,
};

constexpr uint32_t kVersion = 0x00000900;

enum class Body { Fixed, Text, Object, Unknown };

// How a record of type vt is stored; fixedSize is set for Fixed bodies.
Body BodyOf(uint16_t vt, size_t* fixedSize = nullptr) noexcept;

enum class Status {
    Ok,
    Short,          // the source ended or failed inside the record
    BadLength,      // an odd string byte count, or more than the source holds
    UnknownType,    // a VARTYPE the layout has no body for
    ForeignObject,  // an object of a class loading must not create
    NoMemory,
    WriteFailed,
};

// Bytes in; Read may return fewer than asked only at the end or on error.
class Source {
public:
    virtual size_t Read(void* buffer, size_t size) = 0;
    // Bytes left, when the source knows; false when it cannot tell.
    virtual bool Remaining(uint64_t& bytes) = 0;
protected:
    ~Source() = default;
};

class Sink {
public:
    virtual bool Write(const void* buffer, size_t size) = 0;
protected:
    ~Sink() = default;
};

// The 16 bytes of a class id as stored (the platform's GUID layout).
struct ClassId {
    uint8_t bytes[16] = {};
    bool IsNull() const noexcept;
    bool operator==(const ClassId& o) const noexcept;
};

// The standard font object's class, the only object loading creates.
extern const ClassId kStdFont;

struct Record {
    uint16_t vt = vtEmpty;
    uint8_t fixed[8] = {};        // Fixed: the value, little-endian
    size_t fixedSize = 0;
    bool nullText = false;        // Text: a null string (byte count 0)
    std::u16string text;          // Text: without the terminator
    ClassId object;               // Object: its class; its data follows in the source
};

// Reads one record. An object record stops after the class id, which must
// be null or the standard font's; the caller loads the object's data.
Status ReadRecord(Source& in, Record& out);

// Reads a little-endian 32-bit word (the version, the extent).
Status ReadWord(Source& in, uint32_t& out);

// Writers for the parts of a record. An object's body is the caller's: it
// writes the class id and the object's data itself.
bool WriteWord(Sink& out, uint32_t value);
Status WriteFixed(Sink& out, uint16_t vt, const void* value, size_t size);
Status WriteText(Sink& out, uint16_t vt, const char16_t* text, size_t length, bool null);

// Bytes a text record takes: type, byte count, text and terminator.
uint64_t TextRecordSize(size_t length, bool null) noexcept;

} // namespace record
