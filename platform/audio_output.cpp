#include "platform/audio_output.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "platform/window_backend.h"

namespace platform {
namespace {

// Copies into (or zeroes, with data null) a ring at `offset`, wrapping at its end.
void RingCopy(std::vector<u8>& ring, u32 offset, const u8* data, u32 size) {
    const u32 n = u32(ring.size());
    if (n == 0) return;
    size = std::min(size, n);
    offset %= n;
    const u32 first = std::min(size, n - offset);
    if (data) {
        std::memcpy(&ring[offset], data, first);
        std::memcpy(&ring[0], data + first, size - first);
    } else {
        std::memset(&ring[offset], 0, first);
        std::memset(&ring[0], 0, size - first);
    }
}

// The sound system's own library writes its failures to stderr line by line (eight lines when
// the machine has no sound card at all). The game says in one line of its own that sound is
// off, so the library's error handler is replaced by one that says nothing. The library is
// opened here under the name SDL loads it by, so both share its one error handler; the handle
// is kept for the life of the process.
extern "C" void QuietSoundLibraryError(const char*, int, const char*, int, const char*, ...) {}

void QuietSoundLibrary() {
    static const bool done = [] {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (library == nullptr) return false;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"));
        if (set != nullptr) set(&QuietSoundLibraryError);
        return true;
    }();
    (void)done;
}

class SdlAudioOutput : public AudioOutput {
public:
    ~SdlAudioOutput() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);
        if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(int sampleRate, u32 ringBytes) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        QuietSoundLibrary();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        initialised_ = true;
        ring_.assign(ringBytes / kAudioFrameBytes * kAudioFrameBytes, 0);
        if (ring_.empty()) return false;
        SDL_AudioSpec want{};
        want.freq = sampleRate;
        want.format = AUDIO_S16LSB;
        want.channels = 2;
        want.samples = 1024;
        want.callback = &SdlAudioOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // SDL converts anything else the device wants; the ring stays in our format.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) return false;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    u32 RingBytes() const override { return u32(ring_.size()); }
    u32 PlayPosition() override { return position_.load(std::memory_order_acquire); }
    void Write(u32 offset, const u8* data, u32 size) override {
        SDL_LockAudioDevice(device_);
        RingCopy(ring_, offset, data, size);
        SDL_UnlockAudioDevice(device_);
    }
    void WriteSilence(u32 offset, u32 size) override {
        SDL_LockAudioDevice(device_);
        RingCopy(ring_, offset, nullptr, size);
        SDL_UnlockAudioDevice(device_);
    }
    bool Silent() const override { return false; }

private:
    // Runs on SDL's audio thread: plays the ring from the play position onwards.
    static void Callback(void* userdata, Uint8* stream, int len) {
        auto* self = static_cast<SdlAudioOutput*>(userdata);
        const u32 n = u32(self->ring_.size());
        u32 pos = self->position_.load(std::memory_order_relaxed);
        u32 left = u32(len);
        while (left > 0) {
            const u32 part = std::min(left, n - pos);
            std::memcpy(stream, &self->ring_[pos], part);
            stream += part;
            left -= part;
            pos = (pos + part) % n;
        }
        self->position_.store(pos, std::memory_order_release);
    }

    bool initialised_ = false;
    SDL_AudioDeviceID device_ = 0;
    std::vector<u8> ring_;
    std::atomic<u32> position_{0};
};

}  // namespace

HeadlessAudioOutput::HeadlessAudioOutput(u32 ringBytes, u32 step)
    : ringBytes_(std::max<u32>(ringBytes, 1)), step_(step) {}

u32 HeadlessAudioOutput::PlayPosition() {
    u32 old = position_.load(std::memory_order_relaxed);
    u32 next;
    do {
        next = u32((u64(old) + step_) % ringBytes_);
    } while (!position_.compare_exchange_weak(old, next, std::memory_order_acq_rel));
    return next;
}

ManualAudioOutput::ManualAudioOutput(u32 ringBytes) : ring_(std::max<u32>(ringBytes, 1), 0) {}

void ManualAudioOutput::Write(u32 offset, const u8* data, u32 size) {
    std::lock_guard<std::mutex> lock(mutex_);
    RingCopy(ring_, offset, data, size);
}

void ManualAudioOutput::WriteSilence(u32 offset, u32 size) {
    std::lock_guard<std::mutex> lock(mutex_);
    RingCopy(ring_, offset, nullptr, size);
}

void ManualAudioOutput::Step(u32 bytes) {
    const u32 n = u32(ring_.size());
    u32 old = position_.load(std::memory_order_relaxed);
    while (!position_.compare_exchange_weak(old, u32((u64(old) + bytes) % n))) {
    }
}

void ManualAudioOutput::SetPosition(u32 offset) {
    position_.store(offset % u32(ring_.size()), std::memory_order_release);
}

std::vector<u8> ManualAudioOutput::Ring() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ring_;
}

std::unique_ptr<AudioOutput> OpenSdlAudioOutput(int sampleRate, u32 ringBytes,
                                                std::string* error) {
    if (HeadlessRequested() || sampleRate <= 0) return nullptr;
    auto output = std::make_unique<SdlAudioOutput>();
    if (!output->Open(sampleRate, ringBytes)) {
        if (error != nullptr) *error = "no audio device";
        return nullptr;
    }
    return output;
}

}  // namespace platform
