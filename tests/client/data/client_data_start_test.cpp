// The tables read at start-up reach the code that uses them: the hues recolour the sprites.
#include "client/data/client_data_start.h"

#include <gtest/gtest.h>

#include "client/data/client_settings.h"
#include "client/data/hue_table.h"
#include "client/render/span_blit.h"
#include "tests/client/app/client_test_env.h"

namespace {

TEST(ClientDataStart, TheLoadedHuesRecolourTheSprites) {
    ClientTestEnv env;
    env.LinkClientInstall();
    ClientSettings settings;
    settings.installDir = env.InstallDir();
    LoadClientDataTables(settings);
    const HueEntry* hue = TheHueTable().Hue(38);
    ASSERT_NE(hue, nullptr);
    ASSERT_NE(BlitHueColours(37), nullptr);
    EXPECT_EQ(BlitHueColours(37)[17], hue->colours[17]);
    const u16 grey = 17 << 10 | 17 << 5 | 17;
    u16 pixel = 0;
    SpanHue(&pixel, &grey, 1, 37);
    EXPECT_EQ(pixel, hue->colours[17]);
    SetBlitHueTable(nullptr, 0, 32);
}

}  // namespace
