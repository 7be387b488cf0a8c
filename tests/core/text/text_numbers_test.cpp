#include <gtest/gtest.h>

#include "text/numbers.h"
#include "text/text_codec.h"

namespace {

TEST(StrToInt, acceptsDecimalHexAndLeadingBlanks) {
    int32_t v = 0;
    EXPECT_TRUE(text::TryStrToInt("125", &v));
    EXPECT_EQ(v, 125);
    EXPECT_TRUE(text::TryStrToInt("  42", &v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(text::TryStrToInt("0X000A", &v));
    EXPECT_EQ(v, 10);
    EXPECT_TRUE(text::TryStrToInt("0x9f", &v));
    EXPECT_EQ(v, 159);
    EXPECT_TRUE(text::TryStrToInt("$257", &v));
    EXPECT_EQ(v, 0x257);
    EXPECT_TRUE(text::TryStrToInt("-7", &v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(text::TryStrToInt("$FFFFFFFF", &v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(text::TryStrToInt("-2147483648", &v));
    EXPECT_EQ(v, INT32_MIN);
}

TEST(StrToInt, rejectsJunkTrailingTextAndOverflow) {
    int32_t v = 77;
    for (const char* bad : {"", " ", "yes", "12 ", "1,", "0x", "$", "--1", "2147483648", "$100000000", "1e3", "0XG"})
        EXPECT_FALSE(text::TryStrToInt(bad, &v)) << bad;
    EXPECT_EQ(v, 77);
    EXPECT_EQ(text::InvalidIntegerMessage("abc"), "'abc' is not a valid integer value");
}

TEST(AddressText, isUpperHexWithAtLeastFourDigits) {
    EXPECT_EQ(text::AddrText(10), "0X000A");
    EXPECT_EQ(text::AddrText(0x9F), "0X009F");
    EXPECT_EQ(text::AddrText(0x12345), "0X12345");
    EXPECT_EQ(text::Hex4(0), "0000");
}

TEST(Gbk, roundTripsChineseText) {
    const std::string utf8 = "编程地址 文件已删除";
    bool lossless = false;
    std::string gbk = text::ToGbk(utf8, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(gbk, "\xB1\xE0\xB3\xCC\xB5\xD8\xD6\xB7 \xCE\xC4\xBC\xFE\xD2\xD1\xC9\xBE\xB3\xFD");
    EXPECT_EQ(text::FromGbk(gbk), utf8);
}

TEST(Gbk, invalidBytesSurviveAReadAndWrite) {
    // A lone lead byte, a lone 0x80 and a truncated pair at the end.
    const std::string junk = std::string("a\x81\x20z\x80\xFF", 6) + "\xB1";
    std::string utf8 = text::FromGbk(junk);
    bool lossless = true;
    EXPECT_EQ(text::ToGbk(utf8, &lossless), junk);
}

TEST(Gbk, unencodableCharactersAreMarkedLossy) {
    bool lossless = true;
    EXPECT_EQ(text::ToGbk("a\xF0\x9F\x98\x80"
                          "b",
                          &lossless),
              "a?b");  // an emoji has no GBK form
    EXPECT_FALSE(lossless);
    EXPECT_EQ(text::ToGbk("x\xC3", &lossless), "x?");  // truncated UTF-8
    EXPECT_FALSE(lossless);
}

}  // namespace
