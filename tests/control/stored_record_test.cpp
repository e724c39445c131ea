// The stream's records from hand-made bytes: what each type reads as, and
// the inputs a hostile stream can carry.
#include <gtest/gtest.h>


#include "control/control_test.h"

namespace {

using namespace control_test;
using record::Status;

struct BytesSink final : record::Sink {
    Bytes out;
    bool Write(const void* buffer, size_t size) override
    {
        auto* p = static_cast<const uint8_t*>(buffer);
        out.insert(out.end(), p, p + size);
        return true;
    }
};

TEST(StoredRecord, ReadsEachBodyAndRefusesWhatIsNotSound)
{
    const struct {
        const char* what;
        Bytes bytes;
        bool knowsSize;
        Status status;
        size_t fixedSize;
        std::u16string text;
    } cases[] = {
        {"int", {22, 0, 0x78, 0x56, 0x34, 0x12}, true, Status::Ok, 4, u""},
        {"bool", {11, 0, 0xFF, 0xFF}, true, Status::Ok, 2, u""},
        {"double", {5, 0, 1, 2, 3, 4, 5, 6, 7, 8}, true, Status::Ok, 8, u""},
        {"byte", {17, 0, 7}, true, Status::Ok, 1, u""},
        {"text", {8, 0, 6, 0, 0, 0, 'a', 0, 0xE9, 0, 0, 0}, true, Status::Ok, 0, u"a\u00e9"},
        {"empty value as text", {0, 0, 2, 0, 0, 0, 0, 0}, true, Status::Ok, 0, u""},
        {"null text", {8, 0, 0, 0, 0, 0}, true, Status::Ok, 0, u""},
        {"no bytes", {}, true, Status::Short, 0, u""},
        {"half a type", {8}, true, Status::Short, 0, u""},
        {"cut value", {3, 0, 1, 2}, true, Status::Short, 0, u""},
        {"cut count", {8, 0, 6, 0}, true, Status::Short, 0, u""},
        {"odd count", {8, 0, 5, 0, 0, 0, 'a', 0, 'b', 0, 0}, true, Status::BadLength, 0, u""},
        {"count past the end", {8, 0, 0xFE, 0xFF, 0xFF, 0x7F, 'a', 0}, true, Status::BadLength, 0, u""},
        // A source that cannot tell its size still costs only what arrives.
        {"huge count, size unknown", {8, 0, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 0}, false, Status::Short, 0, u""},
        {"array of int", {3, 0x20, 1, 0, 0, 0}, true, Status::UnknownType, 0, u""},
        {"by reference", {3, 0x40, 1, 0, 0, 0}, true, Status::UnknownType, 0, u""},
        {"variant", {12, 0}, true, Status::UnknownType, 0, u""},
        {"type 0xFFFF", {0xFF, 0xFF}, true, Status::UnknownType, 0, u""},
        {"null object", Cat({{9, 0}, Bytes(16, 0)}), true, Status::Ok, 0, u""},
        {"font object", Cat({{9, 0}, kFontClass}), true, Status::Ok, 0, u""},
        {"foreign object", Cat({{9, 0}, kOwnClass}), true, Status::ForeignObject, 0, u""},
        {"foreign unknown", Cat({{13, 0}, kOwnClass}), true, Status::ForeignObject, 0, u""},
        {"cut class id", {9, 0, 3, 0x52}, true, Status::Short, 0, u""},
    };
    for (const auto& c : cases) {
        BytesSource in(c.bytes, c.knowsSize);
        record::Record r;
        EXPECT_EQ(c.status, record::ReadRecord(in, r)) << c.what;
        if (c.status != Status::Ok) continue;
        EXPECT_EQ(c.fixedSize, r.fixedSize) << c.what;
        EXPECT_EQ(c.text, r.text) << c.what;
        EXPECT_EQ(std::string(c.what) == "null text", r.nullText) << c.what;
    }
}

TEST(StoredRecord, WritesTheBytesItReads)
{
    BytesSink sink;
    const int32_t n = 0x12345678;
    ASSERT_EQ(Status::Ok, record::WriteFixed(sink, record::vtInt, &n, 4));
    ASSERT_EQ(Status::Ok, record::WriteText(sink, record::vtBstr, u"hi", 2, false));
    ASSERT_EQ(Status::Ok, record::WriteText(sink, record::vtBstr, nullptr, 0, true));
    EXPECT_EQ(Status::UnknownType, record::WriteFixed(sink, record::vtInt, &n, 2));
    const Bytes expected = {22, 0, 0x78, 0x56, 0x34, 0x12, 8, 0, 6, 0, 0, 0, 'h', 0, 'i', 0, 0, 0, 8, 0, 0, 0, 0, 0};
    EXPECT_EQ(expected, sink.out);
    EXPECT_EQ(12u, record::TextRecordSize(2, false));
}

} // namespace
