#include "overlay/substitute.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class SubstituteTest : public ::testing::Test {
protected:
    // Substitutes in place in a line buffer, as the drawing does.
    std::string substitute(const std::string& line, const char* pattern, const char* replacement, int* count = nullptr,
                           int maxLen = 1024) {
        char buffer[1024] = {};
        std::strncpy(buffer, line.c_str(), sizeof buffer - 1);
        const int n = overlay::substituteToken(work, sizeof work, buffer, buffer, pattern, replacement, maxLen);
        if (count != nullptr) *count = n;
        return buffer;
    }

    char work[overlay::kWorkBufferSize];  // the size the overlay gives it
};

TEST_F(SubstituteTest, ReplacesEveryOccurrenceLeftToRight) {
    int count = 0;
    EXPECT_EQ(substitute("Sel: *SEL_FACES*", "*SEL_FACES*", "12", &count), "Sel: 12");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(substitute("*CUR_TIME**CUR_TIME*", "*CUR_TIME*", "10:00:00", &count), "10:00:0010:00:00");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(substitute("*CUR_DATE**CUR_DATE**CUR_DATE*", "*CUR_DATE*", "D", &count), "DDD");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(substitute("at end *CUR_DATE*", "*CUR_DATE*", "2026-12-07"), "at end 2026-12-07");
}

TEST_F(SubstituteTest, BrokenPartialMatchIsRetriedAsANewStart) {
    int count = 0;
    EXPECT_EQ(substitute("**CUR_DATE*", "*CUR_DATE*", "D", &count), "*D");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(substitute("*CUR*CUR_DATE*x", "*CUR_DATE*", "D"), "*CURDx");
    EXPECT_EQ(substitute("a*CUR_DAT", "*CUR_DATE*", "D", &count), "a*CUR_DAT");
    EXPECT_EQ(count, 0);
}

TEST_F(SubstituteTest, InsertedTextIsNotRescanned) {
    int count = 0;
    EXPECT_EQ(substitute("x*A*y", "*A*", "*A**A*", &count), "x*A**A*y");
    EXPECT_EQ(count, 1);
}

TEST_F(SubstituteTest, EmptyReplacementRemovesAndStillCounts) {
    int count = 0;
    EXPECT_EQ(substitute("[*CAMERA_NAME*]", "*CAMERA_NAME*", "", &count), "[]");
    EXPECT_EQ(count, 1);
}

TEST_F(SubstituteTest, RefusesBadArgumentsWithoutWriting) {
    char dst[16] = "untouched";
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, "abc", "", "x", 16), 0);
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, nullptr, "a", "x", 16), 0);
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, "abc", nullptr, "x", 16), 0);
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, "abc", "a", nullptr, 16), 0);
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, nullptr, "abc", "a", "x", 16), 0);
    EXPECT_EQ(overlay::substituteToken(nullptr, sizeof work, dst, "abc", "a", "x", 16), 0);
    EXPECT_EQ(overlay::substituteToken(work, 0, dst, "abc", "a", "x", 16), 0);
    const std::string longPattern(32, 'p');
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, longPattern.c_str(), longPattern.c_str(), "x", 16), 0);
    EXPECT_STREQ(dst, "untouched");
    const std::string pattern31(31, 'p');
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, pattern31.c_str(), pattern31.c_str(), "x", 16), 1);
    EXPECT_STREQ(dst, "x");
}

TEST_F(SubstituteTest, ResultIsCutAndTerminatedWithinMaxLen) {
    char dst[8];
    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, "ab*T*cd", "*T*", "123456789", 6), 1);
    EXPECT_STREQ(dst, "ab123");
    EXPECT_EQ(dst[6], '#');

    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(overlay::substituteToken(work, sizeof work, dst, "no token here", "*T*", "x", 5), 0);
    EXPECT_STREQ(dst, "no t");

    // Growth far beyond the work buffer is cut at its end, never past it.
    std::string many;
    for (int i = 0; i < 500; ++i) many += "*T*";
    static char big[16384];
    const int count =
        overlay::substituteToken(work, sizeof work, big, many.c_str(), "*T*", "0123456789abcdef0123", sizeof big);
    EXPECT_EQ(count, 500);
    EXPECT_EQ(std::strlen(big), static_cast<std::size_t>(overlay::kWorkBufferSize - 1));
}

}  // namespace
