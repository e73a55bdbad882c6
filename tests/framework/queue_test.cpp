// The queue: rows and one record buffer.

#include "platform/framework/queue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace framework_test {
namespace {

struct DriverRow {
    std::string description;
    std::int32_t id = 0;
};

TEST(Queue, AddCopiesTheBufferInFetchCopiesARowOut) {
    platform::Queue<DriverRow> queue;
    queue.buffer = {"Camera", 0};
    queue.add();
    queue.buffer = {"Test Pattern", 1};
    queue.add();
    queue.buffer.description = "changed after adding";
    EXPECT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue.row(2).description, "Test Pattern");

    ASSERT_TRUE(queue.fetch(1));
    EXPECT_EQ(queue.buffer.description, "Camera");
    EXPECT_EQ(queue.buffer.id, 0);

    queue.buffer.id = 1;
    ASSERT_TRUE(queue.fetchByKey(&DriverRow::id));
    EXPECT_EQ(queue.buffer.description, "Test Pattern");
}

TEST(Queue, AFailedFetchLeavesTheBuffer) {
    platform::Queue<DriverRow> queue;
    queue.buffer = {"Camera", 0};
    queue.add();
    queue.buffer = {"kept", 7};
    for (std::size_t position : {0u, 2u}) {
        EXPECT_FALSE(queue.fetch(position));
        EXPECT_EQ(queue.buffer.description, "kept");
    }
    EXPECT_FALSE(queue.fetchByKey(&DriverRow::id));
    EXPECT_EQ(queue.buffer.id, 7);
    queue.free();
    EXPECT_EQ(queue.size(), 0u);
    EXPECT_EQ(queue.buffer.id, 0);
}

}  // namespace
}  // namespace framework_test
