#pragma once
// Sound output: one stereo stream of 16-bit samples at a fixed rate, played from a looping
// ring. The device advances the play position through the ring; the writer fills the space
// behind it. Three back ends: SDL2 audio (a real device), headless (no device: the position
// moves a fixed step each time it is read, nothing is heard) and manual (tests move the
// position and read what was written).
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Bytes per stereo frame of 16-bit samples.
constexpr u32 kAudioFrameBytes = 4;

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Size of the ring in bytes (a whole number of frames).
    virtual u32 RingBytes() const = 0;
    // Byte offset in the ring that the device plays next.
    virtual u32 PlayPosition() = 0;
    // Copies `size` bytes into the ring at `offset`, wrapping at its end. Nothing happens
    // when the output has no device.
    virtual void Write(u32 offset, const u8* data, u32 size) = 0;
    // Fills `size` bytes at `offset` with silence, wrapping at the ring's end.
    virtual void WriteSilence(u32 offset, u32 size) = 0;
    // True when nothing is heard (no device behind the ring).
    virtual bool Silent() const = 0;
};

// No device: the position moves by `step` bytes every time it is read, wrapping at the
// ring's size; writes are dropped.
class HeadlessAudioOutput : public AudioOutput {
public:
    explicit HeadlessAudioOutput(u32 ringBytes, u32 step);
    u32 RingBytes() const override { return ringBytes_; }
    u32 PlayPosition() override;
    void Write(u32, const u8*, u32) override {}
    void WriteSilence(u32, u32) override {}
    bool Silent() const override { return true; }

private:
    u32 ringBytes_;
    u32 step_;
    std::atomic<u32> position_{0};
};

// A ring kept in memory whose play position tests set; what was written can be read back.
class ManualAudioOutput : public AudioOutput {
public:
    explicit ManualAudioOutput(u32 ringBytes);
    u32 RingBytes() const override { return u32(ring_.size()); }
    u32 PlayPosition() override { return position_.load(std::memory_order_acquire); }
    void Write(u32 offset, const u8* data, u32 size) override;
    void WriteSilence(u32 offset, u32 size) override;
    bool Silent() const override { return false; }

    // Moves the play position forward by `bytes`, wrapping at the ring's end.
    void Step(u32 bytes);
    void SetPosition(u32 offset);
    // A copy of the ring's bytes.
    std::vector<u8> Ring() const;

private:
    mutable std::mutex mutex_;
    std::vector<u8> ring_;
    std::atomic<u32> position_{0};
};

// Opens the default SDL2 audio device for a stereo 16-bit stream at `sampleRate` with a
// ring of `ringBytes` (rounded down to whole frames) and starts it playing silence. Null
// when there is no device (`error`, when given, then says "no audio device") or the
// environment asks for a headless run (ZQ_HEADLESS set; `error` untouched). Writes nothing
// to stderr: the sound library's own error lines are silenced.
std::unique_ptr<AudioOutput> OpenSdlAudioOutput(int sampleRate, u32 ringBytes,
                                                std::string* error = nullptr);

}  // namespace platform
