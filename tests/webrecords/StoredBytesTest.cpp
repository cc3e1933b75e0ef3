#include "app/web/StoredBytes.h"

#include <gtest/gtest.h>

using webrecords::decodeStoredBytes;
using webrecords::encodeStoredBytes;

TEST(StoredBytes, everyByteValueAndEveryPaddingComesBackExactly)
{
    std::string all;
    for (int value = 0; value < 256; ++value) {
        all += static_cast<char>(value);
    }
    for (std::size_t length = 0; length <= all.size(); length += (length < 8 ? 1 : 37)) {
        const std::string bytes = all.substr(all.size() - length);
        const std::string text = encodeStoredBytes(bytes);
        EXPECT_EQ(text.size() % 4, 0U);
        EXPECT_EQ(decodeStoredBytes(text), bytes) << length;
    }
}

TEST(StoredBytes, isStandardBase64)
{
    EXPECT_EQ(encodeStoredBytes("CPU, 10000\r\n"), "Q1BVLCAxMDAwMA0K");
    EXPECT_EQ(encodeStoredBytes("\xB1\xB2,-15\r\n"), "sbIsLTE1DQo=");
    EXPECT_EQ(encodeStoredBytes("\x82\xA0"), "gqA=");
    EXPECT_EQ(decodeStoredBytes("gqA="), std::string("\x82\xA0"));
}

TEST(StoredBytes, refusesTextThatIsNotBase64)
{
    EXPECT_FALSE(decodeStoredBytes("Q1BV="));        // not whole groups of four
    EXPECT_FALSE(decodeStoredBytes("Q1B*"));         // not a base64 digit
    EXPECT_FALSE(decodeStoredBytes("gq==gqA="));     // padding before the end
    EXPECT_FALSE(decodeStoredBytes("gqB="));         // bits left over below the last byte
    EXPECT_FALSE(decodeStoredBytes("CPU, 10000\r\n")); // the file itself, not encoded
}
