#include "platform/bounded_file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/key_value_store.h"

namespace platform {
namespace {

class BoundedFileReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = ::testing::TempDir() + "/bounded_read_" + info->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string dir_;
};

TEST_F(BoundedFileReadTest, EveryKindOfPathAnswersAStatusWithoutBlockingOrThrowing) {
    Write("small", "abc");
    Write("large", std::string(100, 'x'));
    std::filesystem::create_directory(Path("folder"));
    std::filesystem::create_symlink("/dev/zero", Path("zeros"));
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(Path("loop"), Path("loop"));
    struct Case {
        const char* name;
        Oversize oversize;
        FileReadStatus status;
        std::string bytes;
    };
    const Case cases[] = {
        {"small", Oversize::kWholeOnly, FileReadStatus::kRead, "abc"},
        {"missing", Oversize::kWholeOnly, FileReadStatus::kMissing, ""},
        {"folder", Oversize::kWholeOnly, FileReadStatus::kNotAFile, ""},
        // A device that never ends, and a pipe nobody writes to.
        {"zeros", Oversize::kWholeOnly, FileReadStatus::kNotAFile, ""},
        {"zeros", Oversize::kTakePrefix, FileReadStatus::kNotAFile, ""},
        {"pipe", Oversize::kWholeOnly, FileReadStatus::kNotAFile, ""},
        // A link to itself cannot be opened, whoever runs the test.
        {"loop", Oversize::kWholeOnly, FileReadStatus::kUnreadable, ""},
        {"large", Oversize::kWholeOnly, FileReadStatus::kTooLarge, ""},
        {"large", Oversize::kTakePrefix, FileReadStatus::kRead, std::string(10, 'x')},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        FileReadResult r = ReadBoundedFile(Path(c.name), 10, c.oversize, out);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(out, c.bytes) << c.name;
        // A refused file says why; a read or missing one has nothing to say.
        bool refused = c.status != FileReadStatus::kRead && c.status != FileReadStatus::kMissing;
        EXPECT_EQ(r.reason.empty(), !refused) << c.name << ": " << r.reason;
    }
    if (geteuid() != 0) {
        Write("locked", "secret");
        chmod(Path("locked").c_str(), 0);
        std::string out;
        EXPECT_EQ(ReadBoundedFile(Path("locked"), 10, Oversize::kWholeOnly, out).status,
                  FileReadStatus::kUnreadable);
    }
}

TEST_F(BoundedFileReadTest, ASettingsFileThatNeverEndsReadsAsUnreadable) {
    // Settings pointing at an endless device: no value, and nothing written over it.
    std::filesystem::create_symlink("/dev/zero", Path("settings.txt"));
    KeyValueStore store(Path("settings.txt"));
    EXPECT_FALSE(store.GetString("ExePath").has_value());
    EXPECT_FALSE(store.SetString("ExePath", "/elsewhere"));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("settings.txt")));
}

}  // namespace
}  // namespace platform
