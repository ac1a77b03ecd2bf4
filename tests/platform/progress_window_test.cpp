#include "platform/progress_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A view writing into memory.
struct CapturedView {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    platform::ProgressView view;
    explicit CapturedView(bool inPlace) : view("Varnok Online Demo", out, inPlace) {}
    ~CapturedView() {
        std::fclose(out);
        std::free(buffer);
    }
    std::string Text() {
        std::fflush(out);
        return std::string(buffer, size);
    }
};

TEST(ProgressView, PlainLinesOneForEachVisibleChange) {
    CapturedView c(false);
    c.view.SetStatus("hidden so far");  // not visible: nothing written
    c.view.Show(true);
    c.view.SetStatus("Initializing...");
    c.view.SetProgress(-1);  // the bar is already hidden: no change, no line
    c.view.SetProgress(50);
    c.view.SetProgress(150);  // clamped to 100
    c.view.Show(false);
    c.view.Show(true);  // the same line again is not repeated
    c.view.SetStatus("Exiting...");
    EXPECT_EQ(c.Text(),
              "Varnok Online Demo - Status: hidden so far\n"
              "Varnok Online Demo - Status: Initializing...\n"
              "Varnok Online Demo - Status: Initializing... [##########..........] 50%\n"
              "Varnok Online Demo - Status: Initializing... [####################] 100%\n"
              "Varnok Online Demo - Status: Exiting... [####################] 100%\n");
    platform::ProgressViewState s = c.view.State();
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.caption, "Varnok Online Demo");
    EXPECT_EQ(s.status, "Exiting...");
    EXPECT_TRUE(s.barVisible);
    EXPECT_EQ(s.progress, 100);
}

TEST(ProgressView, RedrawsInPlaceOnATerminal) {
    CapturedView c(true);
    c.view.Show(true);
    c.view.SetStatus("Loading");
    c.view.SetProgress(10);
    c.view.Show(false);  // the last state stays on the terminal, ended by a newline
    EXPECT_EQ(c.Text(),
              "\r\x1b[KVarnok Online Demo - Status: "
              "\r\x1b[KVarnok Online Demo - Status: Loading"
              "\r\x1b[KVarnok Online Demo - Status: Loading [##..................] 10%\n");
}

TEST(ProgressView, StatusIsOneBoundedLine) {
    CapturedView c(false);
    c.view.Show(true);
    c.view.SetStatus(std::string(5000, 'x').c_str());
    EXPECT_EQ(c.view.State().status.size(), platform::ProgressView::kMaxStatus);
    c.view.SetStatus("two\nlines\x1b");
    EXPECT_EQ(c.view.State().status, "two lines ");
    c.view.SetStatus(nullptr);
    EXPECT_EQ(c.view.State().status, "");
}

}  // namespace
