#include "platform/mapped_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class MappedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "/mapped_file_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string dir_;
};

TEST_F(MappedFileTest, MapsTheWholeFileReadOnly) {
    platform::MappedFile file(Write("a.bin", "hello world"));
    const unsigned char* base = file.Open();
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(file.Size(), 11u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(base), 11), "hello world");
    // Reads stop at the end of the mapping.
    char out[8] = {};
    EXPECT_EQ(file.Read(6, 8, out), 5u);
    EXPECT_EQ(std::string(out, 5), "world");
    EXPECT_EQ(file.Read(11, 1, out), 0u);
    file.Close();
    file.Close();  // twice is harmless
    EXPECT_EQ(file.Base(), nullptr);
}

TEST_F(MappedFileTest, AZeroLengthFileIsAnEmptyMapping) {
    platform::MappedFile file(Write("empty.bin", ""));
    EXPECT_NE(file.Open(), nullptr);
    EXPECT_EQ(file.Size(), 0u);
    char out[1];
    EXPECT_EQ(file.Read(0, 1, out), 0u);
}

TEST_F(MappedFileTest, FailuresAnswerNullWithTheTextAndErrno) {
    platform::MappedFile none;
    EXPECT_EQ(none.Open(), nullptr);  // empty path: nothing touched, no message
    EXPECT_EQ(none.ErrorText(), "");

    const std::string missing = dir_ + "/missing.bin";
    platform::MappedFile file(missing);
    EXPECT_EQ(file.Open(), nullptr);
    EXPECT_EQ(file.ErrorNumber(), ENOENT);
    EXPECT_EQ(file.ErrorText(),
              "Failed to open mmf " + missing + ": Error " + std::to_string(ENOENT) + ".");

    // Something that opens but is no regular file is refused at once, saying what it is.
    std::filesystem::create_directory(dir_ + "/folder");
    std::filesystem::create_symlink("/dev/zero", dir_ + "/zeros");
    ASSERT_EQ(mkfifo((dir_ + "/pipe").c_str(), 0600), 0);
    struct Refused {
        const char* name;
        int error;
        const char* reason;
    } refused[] = {
        {"folder", EISDIR, "Is a directory"},
        {"zeros", ENODEV, "not a regular file"},
        {"pipe", ENODEV, "not a regular file"},
    };
    for (const Refused& r : refused) {
        const std::string path = dir_ + "/" + r.name;
        platform::MappedFile other(path);
        EXPECT_EQ(other.Open(), nullptr) << r.name;
        EXPECT_EQ(other.ErrorNumber(), r.error) << r.name;
        EXPECT_EQ(other.ErrorText(), "Failed to create mapping for mmf " + path + ": Error " +
                                         std::to_string(r.error) + " (" + r.reason + ").");
    }

    platform::MappedFileWriter writer(dir_ + "/no/such/dir/w.bin", 16);
    EXPECT_EQ(writer.Open(), nullptr);
    EXPECT_EQ(writer.ErrorText().rfind("Failed to open mmf_wr ", 0), 0u);
}

TEST_F(MappedFileTest, WriterCreatesAFileOfItsSizeAndFlushesOnClose) {
    const std::string path = dir_ + "/w.bin";
    {
        platform::MappedFileWriter writer(path, 4096);
        unsigned char* base = writer.Open();
        ASSERT_NE(base, nullptr);
        base[0] = 'Z';
        base[4095] = 'Q';
    }
    EXPECT_EQ(std::filesystem::file_size(path), 4096u);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes[0], 'Z');
    EXPECT_EQ(bytes[4095], 'Q');

    // On a longer file the view covers the given size and the file keeps its length.
    Write("long.bin", std::string(10000, 'x'));
    platform::MappedFileWriter shorter(dir_ + "/long.bin", 100);
    ASSERT_NE(shorter.Open(), nullptr);
    EXPECT_EQ(shorter.Base()[99], 'x');
    shorter.Close();
    EXPECT_EQ(std::filesystem::file_size(dir_ + "/long.bin"), 10000u);
}

}  // namespace
