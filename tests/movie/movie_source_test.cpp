#include "movie/movie_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace movie {
namespace {

namespace fs = std::filesystem;

// A movie file replaced by what never ends or never answers is refused by name at once; a
// missing one says nothing (the intro is then skipped as before).
TEST(MovieSource, OnlyARegularFileOpens) {
    const std::string dir = ::testing::TempDir() + "/movie_source_kinds/";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir + "plain.zqm", std::ios::binary) << "MOVIE";
    fs::create_directory(dir + "folder.zqm");
    fs::create_symlink("/dev/zero", dir + "zeros.zqm");
    ASSERT_EQ(mkfifo((dir + "pipe.zqm").c_str(), 0600), 0);
    struct Case {
        const char* name;
        bool opens;
        bool named;
    } cases[] = {
        {"plain.zqm", true, false}, {"missing.zqm", false, false}, {"folder.zqm", false, true},
        {"zeros.zqm", false, true}, {"pipe.zqm", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::testing::internal::CaptureStderr();
        std::unique_ptr<MovieSource> source = OpenMovieFile(dir + c.name);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(source != nullptr, c.opens);
        EXPECT_EQ(said.find("cannot read " + dir + c.name) != std::string::npos, c.named) << said;
        if (source) {
            u8 bytes[8] = {};
            EXPECT_EQ(source->Read(bytes, sizeof bytes), 5);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 5), "MOVIE");
        }
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace movie
