// Every data file the client reads whole, replaced by something that is no data file: each
// reader refuses it by name and goes on with its fallback, without throwing, waiting on a
// pipe or reading an endless device into memory, and writes nothing over it.
#include "client/data/client_file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "client/data/anim_data.h"
#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/data/hue_table.h"
#include "client/data/skill_group_table.h"
#include "client/data/tga_image.h"
#include "client/data/tile_data.h"
#include "client/data/unicode_fonts.h"
#include "tests/client/app/client_test_env.h"

namespace {

namespace fs = std::filesystem;

enum class Stand { kDirectory, kEndlessDevice, kPipe, kHugeFile };

const char* Describe(Stand s) {
    switch (s) {
        case Stand::kDirectory:
            return "directory";
        case Stand::kEndlessDevice:
            return "endless device";
        case Stand::kPipe:
            return "pipe";
        case Stand::kHugeFile:
            return "huge file";
    }
    return "?";
}

// Larger than every bound the readers keep; sparse, so it costs no disk.
constexpr off_t kHugeBytes = off_t(65) << 20;

class ClientFileReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = ::testing::TempDir() + "/client_file_read_" + info->name() + "/";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Place(const std::string& path, Stand s) {
        fs::remove_all(path);
        switch (s) {
            case Stand::kDirectory:
                fs::create_directory(path);
                break;
            case Stand::kEndlessDevice:
                fs::create_symlink("/dev/zero", path);
                break;
            case Stand::kPipe:
                ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
                break;
            case Stand::kHugeFile: {
                std::ofstream(path, std::ios::binary).put('\0');
                ASSERT_EQ(truncate(path.c_str(), kHugeBytes), 0);
                break;
            }
        }
    }
    // The thing placed is still there, of its kind.
    static bool StillStands(const std::string& path, Stand s) {
        switch (s) {
            case Stand::kDirectory:
                return fs::is_directory(fs::symlink_status(path));
            case Stand::kEndlessDevice:
                return fs::is_symlink(fs::symlink_status(path));
            case Stand::kPipe:
                return fs::is_fifo(fs::symlink_status(path));
            case Stand::kHugeFile:
                return fs::is_regular_file(path) && fs::file_size(path) == size_t(kHugeBytes);
        }
        return false;
    }

    ClientTestEnv env_;  // a headless backend takes the "Missing Font!" box
    std::string dir_;
};

TEST_F(ClientFileReadTest, EveryDataFileThatIsNoDataFileIsRefusedByName) {
    u16 picture[4 * 4];
    struct Reader {
        const char* file;
        // Whether a file past the reader's bound is refused (else its first part is read).
        bool wholeOnly;
        std::function<void(const std::string& dir, const std::string& path)> load;
    };
    const Reader readers[] = {
        {"tiledata.mul", false,
         [](const std::string&, const std::string& p) { TheClientTileData().LoadTileData(p); }},
        {"animdata.mul", false,
         [](const std::string&, const std::string& p) { TheAnimData().LoadAnimData(p); }},
        {"hues.mul", false,
         [](const std::string& d, const std::string&) { LoadHues(TheHueTable(), d); }},
        {"skinhue.txt", true,
         [](const std::string& d, const std::string&) { LoadHues(TheHueTable(), d); }},
        {"hairhue.txt", true,
         [](const std::string& d, const std::string&) { LoadHues(TheHueTable(), d); }},
        {"fonts.mul", true,
         [](const std::string&, const std::string& p) { GetFontTable().Load(p); }},
        {"unifont.mul", true,
         [](const std::string& d, const std::string&) {
             const ClientSettings before = TheClientSettings();
             ClientSettings settings;
             settings.installDir = d;
             SetClientSettings(settings);
             ResetUnicodeFonts();
             EXPECT_EQ(UnicodeCharAdvance(u'A'), 0);
             ResetUnicodeFonts();
             SetClientSettings(before);
         }},
        {"skillgrp.mul", false,
         [](const std::string&, const std::string& p) { LoadSkillGroups(p); }},
        {"1gen.tga", true,
         [&picture](const std::string&, const std::string& p) {
             EXPECT_EQ(LoadTgaImage(p, picture, 4, 4), 0);
         }},
    };
    for (const Reader& reader : readers) {
        for (Stand s : {Stand::kDirectory, Stand::kEndlessDevice, Stand::kPipe, Stand::kHugeFile}) {
            SCOPED_TRACE(std::string(reader.file) + " as a " + Describe(s));
            fs::remove_all(dir_);
            fs::create_directories(dir_);
            const std::string path = dir_ + reader.file;
            Place(path, s);
            ::testing::internal::CaptureStderr();
            reader.load(dir_, path);
            const std::string said = ::testing::internal::GetCapturedStderr();
            EXPECT_TRUE(StillStands(path, s));
            const bool refused = s != Stand::kHugeFile || reader.wholeOnly;
            if (refused) {
                EXPECT_NE(said.find("cannot read " + path + " ("), std::string::npos) << said;
            } else {
                EXPECT_EQ(said.find(path), std::string::npos) << said;
            }
        }
    }
    GetFontTable().Clear();
}

TEST_F(ClientFileReadTest, ShortAndCutDataFilesAreReportedByName) {
    struct Case {
        const char* file;
        std::string bytes;
        std::function<void(const std::string& dir, const std::string& path)> load;
        const char* wrong;
    } cases[] = {
        {"tiledata.mul", std::string(1000, '\0'),
         [](const std::string&, const std::string& p) { TheClientTileData().LoadTileData(p); },
         "is 1000 bytes, 1036288 expected"},
        {"animdata.mul", std::string(548, '\0'),
         [](const std::string&, const std::string& p) { TheAnimData().LoadAnimData(p); },
         "is 548 bytes, 1122304 expected"},
        {"hues.mul", std::string(708, '\0'),
         [](const std::string& d, const std::string&) { LoadHues(TheHueTable(), d); },
         "is 708 bytes, 265500 expected"},
        {"skinhue.txt", "(10,20,30)\n\nrubbish\n(1,2)\r\n(0,0,0)\n",
         [](const std::string& d, const std::string&) { LoadHues(TheHueTable(), d); },
         "line 3 and 1 more are not (red,green,blue)"},
        // Font 0 is there, and its first glyph says 2 x 2 pixels but holds one.
        {"fonts.mul", std::string("\x01\x02\x02\x00\x01\x00", 6),
         [](const std::string&, const std::string& p) { GetFontTable().Load(p); },
         "ends inside a font"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir_ + c.file;
        std::ofstream(path, std::ios::binary) << c.bytes;
        ::testing::internal::CaptureStderr();
        c.load(dir_, path);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(path + " " + c.wrong + ";"), std::string::npos) << said;
    }
    GetFontTable().Clear();
}

}  // namespace
