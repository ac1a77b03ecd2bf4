#pragma once
// A recording implementation of the client subsystems' entry points: installed for its
// lifetime, it answers as the empty one does and, between Start and Take, records in order the
// name of every entry point called (from any thread).
#include <mutex>
#include <string>
#include <vector>

#include "client/app/client_subsystem_services.h"

class ClientSubsystemTrace : public ClientSubsystemServices {
public:
    ClientSubsystemTrace() : previous_(SetClientSubsystemServices(this)) {}
    ~ClientSubsystemTrace() override { SetClientSubsystemServices(previous_); }
    ClientSubsystemTrace(const ClientSubsystemTrace&) = delete;
    ClientSubsystemTrace& operator=(const ClientSubsystemTrace&) = delete;

    // Clears the trace and starts recording.
    void Start() {
        std::lock_guard<std::mutex> lock(mutex_);
        trace_.clear();
        tracing_ = true;
    }
    // Whether the entry point was called since Start (recording goes on).
    bool Has(const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& n : trace_)
            if (n == name) return true;
        return false;
    }
    // The trace so far; recording stops.
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        tracing_ = false;
        return std::move(trace_);
    }

    void CreateMultiPlacement() override {
        Note("CreateMultiPlacement");
        ClientSubsystemServices::CreateMultiPlacement();
    }
    void LoadWordListsDone() override {
        Note("LoadWordListsDone");
        ClientSubsystemServices::LoadWordListsDone();
    }
    void CursorSetDrawEnabled(int on) override {
        Note("CursorSetDrawEnabled");
        ClientSubsystemServices::CursorSetDrawEnabled(on);
    }
    void SoundInit() override {
        Note("SoundInit");
        ClientSubsystemServices::SoundInit();
    }
    void CreateWorldViewGumps() override {
        Note("CreateWorldViewGumps");
        ClientSubsystemServices::CreateWorldViewGumps();
    }
    void CreateSpeechLine() override {
        Note("CreateSpeechLine");
        ClientSubsystemServices::CreateSpeechLine();
    }
    void CreateConnection() override {
        Note("CreateConnection");
        ClientSubsystemServices::CreateConnection();
    }
    void ShowSystemMessage(const std::string& text, int hue, int font) override {
        Note("ShowSystemMessage");
        ClientSubsystemServices::ShowSystemMessage(text, hue, font);
    }
    void MusicPlayTrack(int piece, bool repeat, bool forced) override {
        Note("MusicPlayTrack");
        ClientSubsystemServices::MusicPlayTrack(piece, repeat, forced);
    }
    void ReadMacros() override {
        Note("ReadMacros");
        ClientSubsystemServices::ReadMacros();
    }
    void PollConnection() override {
        Note("PollConnection");
        ClientSubsystemServices::PollConnection();
    }
    void SoundUpdate() override {
        Note("SoundUpdate");
        ClientSubsystemServices::SoundUpdate();
    }
    bool ConnectionCompressionOn() override {
        Note("ConnectionCompressionOn");
        return ClientSubsystemServices::ConnectionCompressionOn();
    }
    void PathWalkerStep() override {
        Note("PathWalkerStep");
        ClientSubsystemServices::PathWalkerStep();
    }
    void MusicUpdate() override {
        Note("MusicUpdate");
        ClientSubsystemServices::MusicUpdate();
    }
    void CursorUpdate() override {
        Note("CursorUpdate");
        ClientSubsystemServices::CursorUpdate();
    }
    void WalkQueueStepTick() override {
        Note("WalkQueueStepTick");
        ClientSubsystemServices::WalkQueueStepTick();
    }
    void MobilesTick() override {
        Note("MobilesTick");
        ClientSubsystemServices::MobilesTick();
    }
    void WeatherTick() override {
        Note("WeatherTick");
        ClientSubsystemServices::WeatherTick();
    }
    void GumpDesktopUpdate() override {
        Note("GumpDesktopUpdate");
        ClientSubsystemServices::GumpDesktopUpdate();
    }
    void DrawWorldViewFrame() override {
        Note("DrawWorldViewFrame");
        ClientSubsystemServices::DrawWorldViewFrame();
    }
    void SendKeepAlive(int argument) override {
        Note("SendKeepAlive");
        ClientSubsystemServices::SendKeepAlive(argument);
    }
    void SaveDesktop() override {
        Note("SaveDesktop");
        ClientSubsystemServices::SaveDesktop();
    }
    int PendingWarModeRequest() override {
        Note("PendingWarModeRequest");
        return ClientSubsystemServices::PendingWarModeRequest();
    }
    bool PlayerInWarMode() override {
        Note("PlayerInWarMode");
        return ClientSubsystemServices::PlayerInWarMode();
    }
    void SetWarMode(int mode) override {
        Note("SetWarMode");
        ClientSubsystemServices::SetWarMode(mode);
    }
    bool OptionsGumpCaptureKey(u32 virtualKey, u32 keyData) override {
        Note("OptionsGumpCaptureKey");
        return ClientSubsystemServices::OptionsGumpCaptureKey(virtualKey, keyData);
    }
    bool RunMacroForKey(u32 virtualKey, bool ctrl, bool alt, bool shift) override {
        Note("RunMacroForKey");
        return ClientSubsystemServices::RunMacroForKey(virtualKey, ctrl, alt, shift);
    }
    void RunMacroNumber(u32 number) override {
        Note("RunMacroNumber");
        ClientSubsystemServices::RunMacroNumber(number);
    }
    bool SpeechLineOnKeyDown(u32 virtualKey, u32 keyData) override {
        Note("SpeechLineOnKeyDown");
        return ClientSubsystemServices::SpeechLineOnKeyDown(virtualKey, keyData);
    }
    void GiveSpeechLineFocus() override {
        Note("GiveSpeechLineFocus");
        ClientSubsystemServices::GiveSpeechLineFocus();
    }
    bool CursorTimerStep(int x, int y) override {
        Note("CursorTimerStep");
        return ClientSubsystemServices::CursorTimerStep(x, y);
    }
    void SendTextCommand(int type, const std::string& text) override {
        Note("SendTextCommand");
        ClientSubsystemServices::SendTextCommand(type, text);
    }
    void SendHelpRequest() override {
        Note("SendHelpRequest");
        ClientSubsystemServices::SendHelpRequest();
    }
    bool IsMusicEnabled() override {
        Note("IsMusicEnabled");
        return ClientSubsystemServices::IsMusicEnabled();
    }
    void SetMusicEnabled(bool on) override {
        Note("SetMusicEnabled");
        ClientSubsystemServices::SetMusicEnabled(on);
    }
    bool IsSoundEnabled() override {
        Note("IsSoundEnabled");
        return ClientSubsystemServices::IsSoundEnabled();
    }
    void SetSoundEnabled(bool on) override {
        Note("SetSoundEnabled");
        ClientSubsystemServices::SetSoundEnabled(on);
    }
    void LanguageCleanup() override {
        Note("LanguageCleanup");
        ClientSubsystemServices::LanguageCleanup();
    }
    void DeleteSpeechLine() override {
        Note("DeleteSpeechLine");
        ClientSubsystemServices::DeleteSpeechLine();
    }
    void DeleteConnection() override {
        Note("DeleteConnection");
        ClientSubsystemServices::DeleteConnection();
    }
    void CloseJournalLog() override {
        Note("CloseJournalLog");
        ClientSubsystemServices::CloseJournalLog();
    }

private:
    void Note(const char* name) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (tracing_) trace_.emplace_back(name);
    }

    ClientSubsystemServices* previous_;
    std::mutex mutex_;
    bool tracing_ = false;
    std::vector<std::string> trace_;
};
