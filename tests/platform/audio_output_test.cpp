// Sound output: the headless and manual back ends, and SDL's dummy audio driver.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/audio_output.h"

namespace {

TEST(AudioOutput, HeadlessPositionStepsAndWraps) {
    platform::HeadlessAudioOutput out(2000, 882);
    EXPECT_TRUE(out.Silent());
    EXPECT_EQ(out.PlayPosition(), 882u);
    EXPECT_EQ(out.PlayPosition(), 1764u);
    EXPECT_EQ(out.PlayPosition(), 646u);  // 2646 wraps at 2000
    const u8 bytes[4] = {1, 2, 3, 4};
    out.Write(0, bytes, 4);  // nothing to write to
    EXPECT_EQ(out.RingBytes(), 2000u);
}

TEST(AudioOutput, ManualRingWritesWrapAndThePositionIsStepped) {
    platform::ManualAudioOutput out(8);
    const u8 bytes[6] = {1, 2, 3, 4, 5, 6};
    out.Write(5, bytes, 6);
    EXPECT_EQ(out.Ring(), (std::vector<u8>{4, 5, 6, 0, 0, 1, 2, 3}));
    out.WriteSilence(7, 3);
    EXPECT_EQ(out.Ring(), (std::vector<u8>{0, 0, 6, 0, 0, 1, 2, 0}));
    EXPECT_EQ(out.PlayPosition(), 0u);
    out.Step(5);
    out.Step(5);
    EXPECT_EQ(out.PlayPosition(), 2u);
    out.SetPosition(9);
    EXPECT_EQ(out.PlayPosition(), 1u);
    // More than the ring holds: only a ring's worth is written.
    const std::vector<u8> many(20, 9);
    out.Write(3, many.data(), 20);
    EXPECT_EQ(out.Ring(), std::vector<u8>(8, 9));
}

TEST(AudioOutput, SdlDummyDriverPlaysTheRing) {
    const char* headless = std::getenv("ZQ_HEADLESS");
    const std::string saved = headless ? headless : "";
    setenv("ZQ_HEADLESS", "1", 1);
    EXPECT_EQ(platform::OpenSdlAudioOutput(22050, 4096), nullptr);
    unsetenv("ZQ_HEADLESS");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto out = platform::OpenSdlAudioOutput(22050, 32770);
    unsetenv("SDL_AUDIODRIVER");
    if (headless) setenv("ZQ_HEADLESS", saved.c_str(), 1);
    if (!out) GTEST_SKIP() << "no SDL dummy audio driver";
    EXPECT_FALSE(out->Silent());
    EXPECT_EQ(out->RingBytes(), 32768u);  // whole frames
    std::vector<u8> tone(32768);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = u8(i * 7);
    out->Write(0, tone.data(), u32(tone.size()));
    // The device moves through the ring on its own thread.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (out->PlayPosition() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_NE(out->PlayPosition(), 0u);
    EXPECT_EQ(out->PlayPosition() % platform::kAudioFrameBytes, 0u);
}

}  // namespace
