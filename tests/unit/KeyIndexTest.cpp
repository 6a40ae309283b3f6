#include "cmdfile/KeyIndex.h"

#include <gtest/gtest.h>

#include <string>

using namespace vocabrella;

// Keys added past every growth of the table are all found again with their own values, and
// keys that differ only a little are told apart.
TEST(KeyIndex, FindsEveryKeyAddedAcrossGrowth) {
    KeyIndex<int> index(3);
    for (int i = 0; i < 5000; ++i) {
        const std::string key = "menu\x1fstate\x1f" + std::to_string(i);
        ASSERT_FALSE(index.find(key)) << key;
        EXPECT_EQ(index.add(key, i), static_cast<std::size_t>(i));
    }
    EXPECT_EQ(index.size(), 5000u);
    for (int i = 0; i < 5000; ++i) {
        const auto found = index.find("menu\x1fstate\x1f" + std::to_string(i));
        ASSERT_TRUE(found);
        EXPECT_EQ(index[*found], i);
    }
    EXPECT_FALSE(index.find("menu\x1fstate\x1f"));
    EXPECT_FALSE(index.find("menu\x1fstate\x1f" "5000"));
    EXPECT_FALSE(index.find(""));

    const std::size_t empty = index.add("", -1);
    EXPECT_EQ(index.find(""), empty);
    index[empty] = 7;
    EXPECT_EQ(index[*index.find("")], 7);
}
