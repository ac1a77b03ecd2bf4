#include "core/log_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zq_log_file_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "game.log").string();
        echo_ = std::tmpfile();
        ASSERT_NE(echo_, nullptr);
    }
    void TearDown() override {
        std::fclose(echo_);
        std::filesystem::remove_all(dir_);
    }
    std::string Echoed() {
        std::fflush(echo_);
        std::rewind(echo_);
        std::string out;
        for (int c; (c = std::fgetc(echo_)) != EOF;)
            out += static_cast<char>(c);
        return out;
    }
    std::filesystem::path dir_;
    std::string path_;
    std::FILE* echo_ = nullptr;
};

// Every entry the sink is given reaches the file, one line each; errors, warnings and panics
// also reach the terminal, the rest only the file.
TEST_F(LogFileTest, EveryEntryIsALineAndTheSeriousOnesAreShown) {
    LogFile log(echo_);
    ASSERT_TRUE(log.Open(path_));
    LogSink sink;
    sink.SetOutput(&log);
    struct Case {
        const char* severity;
        bool shown;
    };
    for (const Case& c : {Case{"error", true}, Case{"warning", true}, Case{"panic", true},
                          Case{"misc", false}, Case{"timing", false}}) {
        sink.Log(0, 0, 0, "", "load", c.severity, (std::string("about ") + c.severity).c_str());
    }
    sink.Log(7, 2, 0x40001234, "Ardo", "godmode", "misc", "god mode enabled");
    sink.SetOutput(nullptr);
    sink.Log(0, 0, 0, "", "load", "error", "after the output was taken away");

    const std::string file = ReadFile(path_);
    EXPECT_EQ(Lines(file), 6) << file;
    for (const char* text : {"load error: about error", "load warning: about warning",
                             "load misc: about misc", "load timing: about timing",
                             "godmode misc: god mode enabled (player 7/2, serial 1073746484, "
                             "Ardo)"}) {
        EXPECT_NE(file.find(text), std::string::npos) << text << "\n" << file;
    }
    EXPECT_EQ(file.find("after the output"), std::string::npos);
    EXPECT_EQ(Echoed(),
              "zqdemo: load error: about error\nzqdemo: load warning: about warning\n"
              "zqdemo: load panic: about panic\n");
}

// The file is bounded: past its size it becomes "<file>.1" once (an older one is replaced)
// and a new file starts; a reopened full file rolls over before its first line.
TEST_F(LogFileTest, AFullFileRollsOverOnce) {
    const std::string line(99, 'x');
    {
        LogFile log(nullptr, 1000);
        ASSERT_TRUE(log.Open(path_));
        LogSink sink;
        sink.SetOutput(&log);
        for (int n = 0; n < 25; ++n)
            sink.Log(0, 0, 0, "", "s", "misc", (std::to_string(n % 10) + line).c_str());
    }
    const std::string current = ReadFile(path_);
    const std::string previous = ReadFile(path_ + ".1");
    EXPECT_LE(current.size(), 1000u);
    EXPECT_LE(previous.size(), 1000u);
    EXPECT_GT(previous.size(), 800u);
    EXPECT_FALSE(std::filesystem::exists(path_ + ".2"));
    // The newest entry is last in the current file; nothing beyond the two files is kept.
    EXPECT_NE(current.find("s misc: 4" + line + "\n"), std::string::npos);
    // Lines of 129 bytes: seven fill a file, so the 25 entries left four in the current one
    // and the seven before them in the previous one.
    EXPECT_EQ(Lines(current), 4);
    EXPECT_EQ(Lines(previous), 7);
    EXPECT_NE(previous.find("s misc: 0" + line + "\n"), std::string::npos);

    // Opened again once it is full: it rolls over first.
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << std::string(1000, 'y');
    LogFile again(nullptr, 1000);
    ASSERT_TRUE(again.Open(path_));
    EXPECT_EQ(ReadFile(path_ + ".1"), std::string(1000, 'y'));
    EXPECT_EQ(ReadFile(path_), "");
}

// A log that cannot be written is refused with a reason naming it; the game goes on without
// it and the serious entries still reach the terminal.
TEST_F(LogFileTest, ALogThatCannotBeWrittenIsNamed) {
    std::filesystem::create_directory(path_);
    LogFile log(echo_);
    std::string error;
    EXPECT_FALSE(log.Open(path_, &error));
    EXPECT_NE(error.find(path_), std::string::npos) << error;
    LogSink sink;
    sink.SetOutput(&log);
    sink.Log(0, 0, 0, "", "save", "error", "the save was not written");
    EXPECT_EQ(Echoed(), "zqdemo: save error: the save was not written\n");
}

}  // namespace
