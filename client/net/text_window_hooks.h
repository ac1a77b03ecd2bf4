#pragma once
// What the handlers of status, skills, books, boards, option lists and text pop-ups ask of
// the windows above the link: status and shop windows, the skill window, book windows,
// board and board-message windows, the options window and the text pop-up. Every call names
// its window by object serial (or it is a single window), so a handler never holds a window
// across packets and a window whose object left is simply not found.
//
// This class itself is the running one while those windows are not built: a query answers
// that no window is open, and each window kind says once, the first time it is asked for,
// that it is not built yet. Tests install a recording fake instead.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "client/net/client_state_record.h"
#include "platform/types.h"

enum class TextWindowKind {
    kStatus,
    kShop,
    kSkills,
    kBook,
    kBoard,
    kBoardMessage,
    kOptions,
    kTextPopup,
};
inline constexpr int kTextWindowKindCount = 8;
const char* TextWindowKindName(TextWindowKind kind);

// Hits, mana and stamina with their maxima; `pairs` says which of them the packet carried.
struct StatBars {
    enum Pair : u8 { kHits = 1, kMana = 2, kStamina = 4, kAll = 7 };
    u8 pairs = 0;
    u16 hits = 0, maxHits = 0, mana = 0, maxMana = 0, stamina = 0, maxStamina = 0;
};

// The pairs the bars carry, written into a status record.
void CopyStatBars(const StatBars& bars, StatusRecord& record);

struct BookHeader {
    u32 book = 0;
    bool writable = false;
    u16 pageCount = 0;
    std::string title;   // at most 60 characters
    std::string author;  // at most 30 characters
};

// What the handler needs of an open book window to place pages.
struct BookWindowState {
    bool writable = false;
    int pageCount = 0;
    int firstShownPage = 1;  // the left page shown (pages count from 1)
};

struct BoardSummary {
    u32 board = 0, message = 0, parent = 0;
    std::string poster, subject, time;
};

struct BoardMessage {
    u32 board = 0, message = 0;
    std::string poster, subject, time;
    u16 values[2] = {};
    std::vector<std::pair<u16, u16>> pairs;  // at most kPairs
    std::vector<std::string> lines;          // at most kLines
    static constexpr size_t kPairs = 22;
    static constexpr size_t kLines = 80;
};

class TextWindowHooks {
public:
    virtual ~TextWindowHooks() = default;

    // --- status and shop windows ----------------------------------------------------------------
    // Every open status window of `status.serial` takes the record (its name field editable
    // when `renamable`) and is refreshed.
    virtual void UpdateStatusWindows(const StatusRecord& status, bool renamable);
    // Every open status window of the mobile takes the pairs sent and is refreshed.
    virtual void UpdateStatusBars(u32 mobile, const StatBars& bars);
    // Every shop window shows this money value and redraws its money line.
    virtual void SetShopMoney(u16 gold);

    // --- the skill window -----------------------------------------------------------------------
    virtual bool SkillWindowOpen();
    // To the front, and restored when minimised.
    virtual void RaiseSkillWindow();
    // Every line redrawn from the values it shows.
    virtual void RefreshSkillWindow();
    // A new skill window at (100, 100) showing the client's values.
    virtual void OpenSkillWindow();
    // A new skill window at (100, 100) showing values of its own (another's skills).
    virtual void OpenSkillValuesWindow(const std::array<u16, SkillRecords::kSkills>& values);

    // --- book windows ---------------------------------------------------------------------------
    // False when no window of the book is open.
    virtual bool FindBookWindow(u32 book, BookWindowState& state);
    // The open window of the book takes the title and author and is redrawn.
    virtual void RetitleBookWindow(u32 book, const std::string& title, const std::string& author);
    // A new book window at (0, 0).
    virtual void OpenBookWindow(const BookHeader& header);
    // Page `slot` (from 0, inside the book) of the open window takes the lines (at most 20;
    // the page's later lines become empty).
    virtual void SetBookPage(u32 book, int slot, const std::vector<std::string>& lines);
    virtual void RedrawBookWindow(u32 book);

    // --- board windows --------------------------------------------------------------------------
    // Every open window of the board comes to the front; answers how many there were.
    virtual int RaiseBoardWindows(u32 board);
    virtual void OpenBoardWindow(u32 board, const std::string& name);
    virtual bool BoardWindowOpen(u32 board);
    // The open window of the board lists one more message.
    virtual void AddBoardSummary(const BoardSummary& summary);
    // A message window, with the value the board window remembered when the player asked
    // for the message (the board window's pending request is then cleared).
    virtual void OpenBoardMessage(const BoardMessage& message);

    // --- the options window ---------------------------------------------------------------------
    virtual bool OptionsWindowOpen();
    // Edit list `list` (0 or 1) is emptied and takes these entries.
    virtual void FillOptionsList(int list, const std::vector<std::string>& entries);
    virtual void ColourOptionsEntry(int list, int index, u16 hue);
    // Every entry of the list whose text equals `name`, ignoring case, takes the hue.
    virtual void ColourOptionsEntriesNamed(int list, const std::string& name, u16 hue);

    // --- the text pop-up ------------------------------------------------------------------------
    virtual void OpenTextPopup(int x, int y, int width, int height, const std::u16string& text);

    // The kinds that said they are not built, in the order they first did.
    const std::vector<TextWindowKind>& NotBuiltSaid() const { return notBuiltSaid_; }

protected:
    void NotBuilt(TextWindowKind kind);

private:
    std::array<bool, kTextWindowKindCount> said_{};
    std::vector<TextWindowKind> notBuiltSaid_;
};

// The hooks in force (never null).
TextWindowHooks& TheTextWindowHooks();
// Installs hooks (the caller keeps them alive; null puts back the running ones); answers the
// previous ones.
TextWindowHooks* SetTextWindowHooks(TextWindowHooks* hooks);
