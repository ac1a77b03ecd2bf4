#include "client/data/tga_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/client/app/client_test_env.h"

namespace {

struct Bgr {
    u8 b, g, r;
};

std::vector<u8> Header(int type, int width, int height, int depth = 24, int idLength = 0,
                       int mapType = 0) {
    std::vector<u8> h(18, 0);
    h[0] = static_cast<u8>(idLength);
    h[1] = static_cast<u8>(mapType);
    h[2] = static_cast<u8>(type);
    h[12] = static_cast<u8>(width);
    h[14] = static_cast<u8>(height);
    h[16] = static_cast<u8>(depth);
    h.insert(h.end(), static_cast<size_t>(idLength), 'i');
    return h;
}

void Put(std::vector<u8>& out, Bgr p) {
    out.insert(out.end(), {p.b, p.g, p.r});
}

// A 3 x 2 picture, rows stored bottom first: bottom row red, red, dark; top row white,
// black, green.
const Bgr kRows[2][3] = {{{0, 0, 255}, {0, 0, 255}, {7, 7, 7}},
                         {{255, 255, 255}, {0, 0, 0}, {0, 255, 0}}};

std::vector<u8> Plain() {
    std::vector<u8> f = Header(2, 3, 2, 24, 2);
    for (const auto& row : kRows)
        for (Bgr p : row)
            Put(f, p);
    return f;
}

std::vector<u8> RunLength() {
    std::vector<u8> f = Header(10, 3, 2, 24, 2);
    f.push_back(0x81);  // run of 2 red
    Put(f, kRows[0][0]);
    f.push_back(0x00);  // one raw pixel ends the row exactly
    Put(f, kRows[0][2]);
    f.push_back(0x02);  // three raw pixels
    for (Bgr p : kRows[1])
        Put(f, p);
    return f;
}

const std::vector<u16> kExpected = {0x7FFF, 0x0421, 0x03E0,   // top row; black -> (8, 8, 8)
                                    0x7C00, 0x7C00, 0x0001};  // very dark -> 1

TEST(TgaImage, PlainAndRunLengthTwinsLoadTheSamePicture) {
    for (const auto& file : {Plain(), RunLength()}) {
        std::vector<u16> pixels(6, 0xDEAD);
        ASSERT_EQ(DecodeTgaImage(file.data(), file.size(), pixels.data(), 3, 2), 1);
        EXPECT_EQ(pixels, kExpected);
    }
}

TEST(TgaImage, AnythingButAWholeMatchingImageLeavesTheBitmapUnchanged) {
    ClientTestEnv env;
    std::vector<u8> runPastRow = Header(10, 3, 2);
    runPastRow.push_back(0x84);  // a run of 5: cut at the row's 3 pixels ...
    Put(runPastRow, {1, 2, 255});
    runPastRow.push_back(0x82);
    Put(runPastRow, {255, 0, 0});
    const std::vector<u8> plain = Plain(), runLength = RunLength();
    struct Case {
        const char* name;
        std::vector<u8> file;
        int width, height;
        int result;
        bool message;
    } cases[] = {
        {"other size", Plain(), 4, 2, 0, false},
        {"truncated plain", std::vector<u8>(plain.begin(), plain.end() - 1), 3, 2, 0, false},
        {"truncated packets", std::vector<u8>(runLength.begin(), runLength.end() - 4), 3, 2, 0,
         false},
        {"16 bits", Header(2, 3, 2, 16), 3, 2, 0, true},
        {"colour mapped", Header(2, 3, 2, 24, 0, 1), 3, 2, 0, true},
        {"grey image type", Header(3, 3, 2), 3, 2, 0, true},
        {"header only", std::vector<u8>(plain.begin(), plain.begin() + 10), 3, 2, 0, false},
        {"run past a row end is cut", runPastRow, 3, 2, 1, false},
    };
    for (const Case& c : cases) {
        const size_t before = env.Backend().Messages().size();
        std::vector<u16> pixels(static_cast<size_t>(c.width) * c.height, 0xDEAD);
        EXPECT_EQ(DecodeTgaImage(c.file.data(), c.file.size(), pixels.data(), c.width, c.height),
                  c.result)
            << c.name;
        if (c.result == 0) {
            EXPECT_EQ(pixels, std::vector<u16>(pixels.size(), 0xDEAD)) << c.name;
        }
        const auto messages = env.Backend().Messages();
        EXPECT_EQ(messages.size() - before, c.message ? 1u : 0u) << c.name;
        if (c.message) {
            EXPECT_EQ(messages.back().text, "Invalid TGA file.") << c.name;
        }
    }
    EXPECT_EQ(LoadTgaImage(env.Dir() + "/missing.tga", nullptr, 3, 2), 0);
}

}  // namespace
