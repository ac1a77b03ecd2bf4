// The shell's entry points as the gump framework answers them.
#include "client/gumps/framework/gump_shell_services.h"

#include <gtest/gtest.h>

#include "client/data/back_buffer.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class ShellEntryTest : public GumpDesktopTest {
protected:
    void TearDown() override {
        GumpDesktopTest::TearDown();
        DeleteBackBuffer();
    }
    std::vector<std::string> log;
};

class Field : public CGump {
public:
    explicit Field(std::vector<std::string>& log)
        : CGump(10, 10, nullptr, 0, 1, 50, 20), log_(log) {
        pitch = 50;
        Bitmap16& f = MakeFrame(0);
        std::fill(f.Pixels(), f.Pixels() + 50 * 20, 0x7FFF);
    }
    void OnLeftDown(int x, int y) override {
        log_.push_back("down " + std::to_string(x) + "," + std::to_string(y));
        TheGumpDesktop().SetKeyboardFocus(this);
    }
    void OnKey(u32 key) override { log_.push_back("key " + std::to_string(key)); }

private:
    std::vector<std::string>& log_;
};

TEST_F(ShellEntryTest, MouseAndKeysReachTheGumpsAndTheFrameLeavesTheBackBufferClean) {
    auto* field = TheGumpDesktop().Open<Field>(log);
    EXPECT_FALSE(GumpShellHasKeyboardFocus());
    GumpShellLeftPress(15, 12);
    GumpShellLeftRelease(15, 12);
    EXPECT_TRUE(GumpShellHasKeyboardFocus());
    GumpShellFocusOnKey(0xE000 + 37);
    GumpShellTypedCharacter('q');
    EXPECT_EQ(log, (std::vector<std::string>{"down 5,2", "key 57381", "key 113"}));

    GumpShellCreateDesktop();
    const std::vector<u16> before(BackBufferPixels(), BackBufferPixels() + 640 * 480);
    GumpShellDrawFrame();
    EXPECT_EQ(Shown(20, 20), 0x7FFF);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), BackBufferPixels()));
    (void)field;
}

}  // namespace
