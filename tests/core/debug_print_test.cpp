#include "core/debug_print.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

// Both formatters without compile-time format checks, so that tests can pass any format.
std::string Ours(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    DebugFormat(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Runtime(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

#define EXPECT_LIKE_PRINTF(...) EXPECT_EQ(Ours(__VA_ARGS__), Runtime(__VA_ARGS__)) << #__VA_ARGS__

TEST(DebugFormat, AgreesWithPrintfOnCommonFormats) {
    EXPECT_LIKE_PRINTF("plain text");
    EXPECT_LIKE_PRINTF("%d|%i|%u", 42, -42, 42u);
    EXPECT_LIKE_PRINTF("%d|%d", INT_MIN, INT_MAX);
    EXPECT_LIKE_PRINTF("%5d|%-5d|%05d|%+d|% d|%+d", 42, 42, 42, 42, 42, -42);
    EXPECT_LIKE_PRINTF("%05d|%-05d|%+05d", -42, -42, 42);
    EXPECT_LIKE_PRINTF("%.3d|%8.3d|%-8.3d|%08.3d", 7, 7, -7, 7);
    EXPECT_LIKE_PRINTF("%.0d|%5.0d|%x", 0, 0, 0);
    EXPECT_LIKE_PRINTF("%x|%X|%o|%#x|%#X|%#o|%#o|%#x", 0xBEEFu, 0xBEEFu, 8u, 255u, 255u, 8u, 0u,
                       0u);
    EXPECT_LIKE_PRINTF("%#10x|%#-10x|%#010x", 255u, 255u, 255u);
    EXPECT_LIKE_PRINTF("%hd|%hu|%hx", 70000, 70000u, 0x12345u);
    EXPECT_LIKE_PRINTF("%ld|%lu|%lx", -1234567890123L, 1234567890123UL, 0xFFFFFFFFFFUL);
    EXPECT_LIKE_PRINTF("%lld|%llu", LLONG_MIN, ULLONG_MAX);
    EXPECT_LIKE_PRINTF("%c|%3c|%-3c|", 'a', 'b', 'c');
    EXPECT_LIKE_PRINTF("%s|%8s|%-8s|%.2s|%8.2s", "text", "text", "text", "text", "text");
    EXPECT_LIKE_PRINTF("%*d|%*d|%.*d", 6, 1, -6, 2, 3, 4);
    EXPECT_LIKE_PRINTF("100%%");
}

TEST(DebugFormat, OwnRules) {
    struct Case {
        std::string got, want;
    } cases[] = {
        {Ours("%p", reinterpret_cast<void*>(0x1234)), "00001234"},
        {Ours("%10p", reinterpret_cast<void*>(0x1234)), "      1234"},
        {Ours("%p", reinterpret_cast<void*>(0x123456789AULL)), "123456789a"},
        {Ours("[%s]", static_cast<const char*>(nullptr)), "[(null)]"},
        {Ours("%q%y"), "qy"},          // '%' before another character writes that character
        {Ours("%.*d", -3, 42), "42"},  // a negative precision reads as 0
        {Ours("%.*d", -3, 0), ""},
        {Ours("%Ld", 1LL << 40), "1099511627776"},
        {Ours("%hhd", 300), "44"},
        {Ours("tail %"), "tail "},  // a lone '%' at the end ends the text
        {Ours("%-"), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(DebugFormat, StoresTheCountSoFar) {
    int n = -1;
    short h = -1;
    long l = -1;
    EXPECT_EQ(Ours("abc%nde%hnf%ln", &n, &h, &l), "abcdef");
    EXPECT_EQ(n, 3);
    EXPECT_EQ(h, 5);
    EXPECT_EQ(l, 6);
    EXPECT_EQ(Ours("x%ny", static_cast<int*>(nullptr)), "xy");
}

TEST(DebugFormat, NeverWritesPastTheBuffer) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    // Only the first 8 bytes belong to the call.
    int n = DebugSprintf(buffer, 8, "%s-%d", "abcdefgh", 12345);
    EXPECT_EQ(n, 14);  // the whole output's length
    EXPECT_STREQ(buffer, "abcdefg");
    for (int i = 8; i < 16; ++i)
        EXPECT_EQ(buffer[i], '#') << i;

    EXPECT_EQ(DebugSprintf(buffer, 1, "%d", 99), 2);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'b');
    EXPECT_EQ(DebugSprintf(nullptr, 0, "%s", "four"), 4);
    EXPECT_EQ(DebugSprintf(buffer, 8, "%.3s", "no NUL here"), 3);
    EXPECT_STREQ(buffer, "no ");
}

TEST(DebugPrint, WrappersWriteTheFormattedText) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(DebugPrintf("%s=%d\n", "x", 5), 4);
    std::string longText(3000, 'z');
    EXPECT_EQ(DebugPrintf("%s", longText.c_str()), 1023);  // the 1024-byte buffer
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "x=5\n" + std::string(1023, 'z'));
    EXPECT_EQ(DebugPrintKind(), 0);

    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(DebugFprintf(f, "[%04x]", 0xAbu), 6);
    std::rewind(f);
    char back[16] = {};
    ASSERT_NE(std::fgets(back, sizeof back, f), nullptr);
    EXPECT_STREQ(back, "[00ab]");
    std::fclose(f);
}

TEST(DebugPrint, AssertPrintsOnlyWhenTheConditionFails) {
    testing::internal::CaptureStdout();
    DebugAssert("count > 0", 1, "walk.cpp", 10);
    DebugAssert("count > 0", 0, "walk.cpp", 11);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Assertion (count > 0) failed, walk.cpp:11\n");
}

TEST(DebugPrint, TrackedFiles) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zq_tracked_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string a = (dir / "a.txt").string();
    std::string b = (dir / "b.txt").string();

    std::FILE* fa = TrackedOpen(a.c_str(), "w", "first.cpp", 1);
    std::FILE* fb = TrackedOpen(b.c_str(), "w", "second.cpp", 2);
    ASSERT_NE(fa, nullptr);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(TrackedOpen((dir / "missing" / "c.txt").string().c_str(), "r", "third.cpp", 3),
              nullptr);
    EXPECT_EQ(TrackedOpen(nullptr, "r", "x.cpp", 4), nullptr);

    testing::internal::CaptureStdout();
    PrintOpenFiles();
    EXPECT_EQ(TrackedClose(fa), 0);
    PrintOpenFiles();
    EXPECT_EQ(TrackedClose(fb), 0);
    PrintOpenFiles();
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(
        out, "[" + a + "] (first.cpp:1)\n[" + b + "] (second.cpp:2)\n[" + b + "] (second.cpp:2)\n");

    EXPECT_EQ(TrackedClose(nullptr), EOF);
    fs::remove_all(dir);
}

}  // namespace
