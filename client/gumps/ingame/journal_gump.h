#pragma once
// The journal window: a tall scroll that shows the message journal (the last 100 texts the
// game said to the player), newest at the bottom. It follows the newest text until the player
// scrolls (arrows, the scroll track, the thumb), which locks the view; the lock button shows
// the state and, pressed back, unlocks it and jumps to the newest text. Only its height can
// change, between 220 pixels and the screen's bottom less 20.
#include <vector>

#include "client/gumps/ingame/scroll_window.h"
#include "client/world/journal.h"

class CButtonGump;

class CTextGump : public CScrollWindow, public JournalWindow {
public:
    static constexpr GumpKind kKind = GumpKind::kText;
    GumpKind Kind() const override { return kKind; }
    static constexpr int kMinHeight = 220;
    static constexpr int kScreenLimit = 460;
    static constexpr int kArrowStep = 6;
    static constexpr int kFont = 9;

    CTextGump(int x, int y);
    ~CTextGump() override;

    // --- JournalWindow
    void ScrollToEnd() override;
    void SyncThumb() override;
    void DrawText() override;

    void ScrollUp();
    void ScrollDown();
    // The lock button was released: at frame 0 the view jumps to the newest text.
    void Unlock();
    bool Locked() const;
    // A press in the scroll track pages 10 entries towards the pointer.
    void ClickTrack(int x, int y) override;

    void OnSliderMoved(int position, int range, CGump* slider) override;
    void OnResized(int width, int height, int value) override;

    int topOffset = 0;
    CButtonGump* lockButton = nullptr;

    // The wrapped height of an entry in the text area's width.
    int EntryHeight(const JournalEntry& entry) const;
    // The journal's entries, oldest first.
    static std::vector<const JournalEntry*> Entries();

private:
    void Lock();
    int TextWidth() const { return areaRight - areaLeft + 1; }
};
