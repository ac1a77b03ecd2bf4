#pragma once
// Small archives built in code for the archive, file-layer, text and record-store tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/archive_builder.h"

// A file path unique to the running test (tests run in parallel processes).
inline std::string TestFilePath(const std::string& suffix) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return ::testing::TempDir() + "zq_" + name + "_" + std::to_string(getpid()) + suffix;
}

// Builds an archive from the members the test adds, opens it as the process's archive,
// and shuts it down and deletes it at the end.
class ArchiveTest : public ::testing::Test {
protected:
    void TearDown() override {
        ShutdownDataArchive();
        std::remove(path_.c_str());
    }

    // Writes the builder's archive and makes it the process's archive.
    void Open(ArchiveBuilder& builder) {
        path_ = TestFilePath(".dat");
        ASSERT_TRUE(builder.Write(path_)) << builder.Error();
        ASSERT_TRUE(InitDataArchive(path_.c_str())) << DataArchiveError();
    }

    // Reopens the same file, as a later run of the program would.
    void Reopen() { ASSERT_TRUE(InitDataArchive(path_.c_str())) << DataArchiveError(); }

    static std::vector<u8> Pattern(size_t n, u32 seed = 1) {
        std::vector<u8> v(n);
        u32 x = seed * 2654435761u + 12345;
        for (size_t i = 0; i < n; ++i) {
            x = x * 1103515245u + 12345;
            v[i] = u8(x >> 16);
        }
        return v;
    }

    // Every byte of a member read through the file API, the end test checked after.
    static std::vector<u8> ReadAll(const char* path, size_t chunk = 1000) {
        std::vector<u8> out;
        ArchiveHandle h = ArchiveOpen(path, "r");
        EXPECT_NE(h, nullptr) << path;
        if (h == nullptr) return out;
        std::vector<u8> buf(chunk);
        for (;;) {
            size_t n = ArchiveRead(buf.data(), 1, chunk, h);
            out.insert(out.end(), buf.begin(), buf.begin() + n);
            if (n < chunk) break;
        }
        EXPECT_NE(ArchiveEof(h), 0);
        ArchiveClose(h);
        return out;
    }

    std::string path_;
};
