#include "platform/headless/headless_backend.h"

#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/png_file.h"

namespace platform {

HeadlessBackend::HeadlessBackend() {
    if (const char* v = std::getenv("ZQ_HEADLESS_CLOSE_AFTER_MS"); v && *v) {
        closeAfterMs_ = static_cast<u32>(std::strtoul(v, nullptr, 10));
    }
}

bool HeadlessBackend::OpenWindow(const std::string& title) {
    if (failOpen_) {
        failOpen_ = false;
        return false;
    }
    open_ = true;
    openedAt_ = NowMs();
    closeSent_ = false;
    title_ = title;
    fullScreen_ = false;
    return true;
}

void HeadlessBackend::CloseWindow() {
    open_ = false;
    fullScreen_ = false;
}

bool HeadlessBackend::SetFullScreen(bool on) {
    if (!open_) return false;
    fullScreen_ = on;
    return true;
}

bool HeadlessBackend::PollEvent(InputEvent& event) {
    if (open_ && closeAfterMs_ != 0 && !closeSent_ &&
        HasElapsed(openedAt_, NowMs(), closeAfterMs_)) {
        closeSent_ = true;
        event = InputEvent{};
        event.type = EventType::kClose;
        return true;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (events_.empty()) return false;
        event = events_.front();
        events_.pop_front();
    }
    switch (event.type) {
        case EventType::kKeyDown:
            held_.insert(event.key);
            break;
        case EventType::kKeyUp:
            held_.erase(event.key);
            break;
        case EventType::kMouseDown:
        case EventType::kMouseUp:
        case EventType::kMouseMove:
            pointerX_ = event.x;
            pointerY_ = event.y;
            break;
        case EventType::kActivate:
            focus_ = true;
            break;
        case EventType::kDeactivate:
            focus_ = false;
            break;
        default:
            break;
    }
    return true;
}

void HeadlessBackend::PointerPosition(int& x, int& y) {
    x = pointerX_;
    y = pointerY_;
}

bool HeadlessBackend::IsKeyDown(u32 virtualKey) const {
    return held_.count(virtualKey) != 0;
}

void HeadlessBackend::Present(const u16* buffer, u32 ringOffset, PixelFormat format) {
    frame_.resize(kFramePixels);
    CopyRingFrame(buffer, ringOffset, frame_.data(), kClientWidth, false);
    frameFormat_ = format;
    ++presentCount_;
}

void HeadlessBackend::ShowMessage(const std::string& text, const std::string& caption,
                                  MessageIcon icon) {
    std::fprintf(stderr, "[message box] %s: %s\n", caption.c_str(), text.c_str());
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({text, caption, icon});
}

std::vector<HeadlessBackend::Message> HeadlessBackend::Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

void HeadlessBackend::Inject(const InputEvent& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
}

void HeadlessBackend::InjectKey(u32 virtualKey, bool down, bool repeat) {
    InputEvent e;
    e.type = down ? EventType::kKeyDown : EventType::kKeyUp;
    e.key = virtualKey;
    e.keyData = MakeKeyData(virtualKey, repeat, !down, false);
    Inject(e);
}

void HeadlessBackend::InjectChar(u32 character) {
    InputEvent e;
    e.type = EventType::kChar;
    e.character = character;
    Inject(e);
}

void HeadlessBackend::InjectClose() {
    InputEvent e;
    e.type = EventType::kClose;
    Inject(e);
}

size_t HeadlessBackend::PendingEvents() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_.size();
}

void HeadlessBackend::SetPointer(int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
}

bool HeadlessBackend::DumpFramePng(const std::string& path) const {
    if (frame_.empty()) return false;
    return WriteFramePng(path, frame_.data(), kClientWidth, kClientHeight,
                         frameFormat_ == PixelFormat::k565);
}

}  // namespace platform
