// Records read through the read-ahead buffer are the records the container holds, whatever
// their sizes against the buffer's.
#include "files/format/record_read_ahead.h"

#include <gtest/gtest.h>

#include "file_test_support.h"

namespace sealwise {
namespace {

using test::ContainerBuilder;

TEST(RecordReadAhead, ReadsWhatTheContainerReaderReads) {
    // Small ones served from the buffer, ones past half of it read directly, one larger than
    // the buffer, and small ones again after it.
    const std::size_t plainSizes[] = {15, 1000, 100 << 10, 20, 140 << 10, 300 << 10, 64 << 10,
                                      16, 5000, 1 << 20,   31, 250 << 10, 17};
    ContainerBuilder builder(test::Key());
    for (std::size_t i = 0; i < std::size(plainSizes); ++i) {
        builder.AppendRecord(test::PatternBytes(plainSizes[i], static_cast<uint32_t>(i)), i > 0);
    }
    builder.EndEntry(0);
    const int64_t entryEnd = static_cast<int64_t>(builder.size());
    test::ScratchDir dir;
    test::WriteFile(dir / "c.vesk", builder.Finish());
    const ContainerReader reader(dir / "c.vesk");
    RecordReadAhead ahead(reader);

    int64_t offset = 0;
    for (std::size_t i = 0; i < std::size(plainSizes); ++i) {
        SCOPED_TRACE(i);
        Bytes expected, got;
        const int64_t size = reader.ReadRecord(offset, entryEnd, expected);
        ASSERT_GT(size, 0);
        // The last record is refused when the entry would end one byte early.
        if (offset + size == entryEnd) {
            EXPECT_EQ(ahead.ReadRecord(offset, entryEnd - 1, got), 0);
        }
        EXPECT_EQ(ahead.ReadRecord(offset, entryEnd, got), size);
        EXPECT_EQ(got, expected);
        offset += size;
    }
    EXPECT_EQ(offset, entryEnd);
    // Going back before the buffer, into the middle of a record: the same answer as the reader.
    Bytes expected, got;
    EXPECT_EQ(ahead.ReadRecord(3, entryEnd, got), reader.ReadRecord(3, entryEnd, expected));
    EXPECT_EQ(got.size(), expected.size());
}

}  // namespace
}  // namespace sealwise
