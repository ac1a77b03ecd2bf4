#pragma once
// A recording stand-in for the text windows: the windows a test opens are kept by object
// serial (as the real ones are found), and every call that reaches one is written down.
// Installed while it lives.
#include <map>
#include <string>
#include <vector>

#include "client/net/text_window_hooks.h"

class TextWindowFake : public TextWindowHooks {
public:
    TextWindowFake() : previous_(SetTextWindowHooks(this)) {}
    ~TextWindowFake() override { SetTextWindowHooks(previous_); }
    TextWindowFake(const TextWindowFake&) = delete;
    TextWindowFake& operator=(const TextWindowFake&) = delete;

    struct StatusWindow {
        StatusRecord status;
        bool renamable = false;
        int refreshes = 0;
    };
    struct BookWindow {
        BookWindowState state;
        std::string title, author;
        std::map<int, std::vector<std::string>> pages;  // by slot
        int redraws = 0;
    };
    struct BoardWindow {
        std::string name;
        int raised = 0;
        std::vector<BoardSummary> lines;
    };
    struct Popup {
        int x, y, width, height;
        std::u16string text;
    };

    // --- what is open ---------------------------------------------------------------------------
    std::map<u32, StatusWindow> status;  // one status window per mobile
    int shopWindows = 0;
    bool skillWindowOpen = false;
    std::map<u32, BookWindow> books;
    std::map<u32, BoardWindow> boards;
    bool optionsOpen = false;

    // --- what happened --------------------------------------------------------------------------
    std::vector<std::string> calls;
    u16 shopMoney = 0;
    int skillRaises = 0, skillRefreshes = 0, skillOpens = 0;
    std::vector<std::array<u16, SkillRecords::kSkills>> othersSkills;
    std::vector<BookHeader> openedBooks;
    std::vector<std::pair<u32, std::string>> openedBoards;
    std::vector<BoardMessage> messages;
    std::vector<std::string> optionsLists[2];
    std::map<int, u16> secondListHues;  // by index
    std::vector<std::pair<std::string, u16>> namedColours;
    std::vector<Popup> popups;

    void UpdateStatusWindows(const StatusRecord& s, bool renamable) override {
        calls.push_back("UpdateStatusWindows");
        auto it = status.find(s.serial);
        if (it == status.end()) return;
        it->second.status = s;
        it->second.renamable = renamable;
        ++it->second.refreshes;
    }
    void UpdateStatusBars(u32 mobile, const StatBars& bars) override {
        calls.push_back("UpdateStatusBars");
        auto it = status.find(mobile);
        if (it == status.end()) return;
        CopyStatBars(bars, it->second.status);
        ++it->second.refreshes;
    }
    void SetShopMoney(u16 gold) override {
        calls.push_back("SetShopMoney");
        if (shopWindows > 0) shopMoney = gold;
    }

    bool SkillWindowOpen() override { return skillWindowOpen; }
    void RaiseSkillWindow() override {
        calls.push_back("RaiseSkillWindow");
        ++skillRaises;
    }
    void RefreshSkillWindow() override {
        calls.push_back("RefreshSkillWindow");
        ++skillRefreshes;
    }
    void OpenSkillWindow() override {
        calls.push_back("OpenSkillWindow");
        ++skillOpens;
        skillWindowOpen = true;
    }
    void OpenSkillValuesWindow(const std::array<u16, SkillRecords::kSkills>& values) override {
        calls.push_back("OpenSkillValuesWindow");
        othersSkills.push_back(values);
    }

    bool FindBookWindow(u32 book, BookWindowState& state) override {
        auto it = books.find(book);
        if (it == books.end()) return false;
        state = it->second.state;
        return true;
    }
    void RetitleBookWindow(u32 book, const std::string& title, const std::string& author) override {
        calls.push_back("RetitleBookWindow");
        BookWindow& w = books.at(book);
        w.title = title;
        w.author = author;
        ++w.redraws;
    }
    void OpenBookWindow(const BookHeader& header) override {
        calls.push_back("OpenBookWindow");
        openedBooks.push_back(header);
    }
    void SetBookPage(u32 book, int slot, const std::vector<std::string>& lines) override {
        calls.push_back("SetBookPage");
        books.at(book).pages[slot] = lines;
    }
    void RedrawBookWindow(u32 book) override {
        calls.push_back("RedrawBookWindow");
        ++books.at(book).redraws;
    }

    int RaiseBoardWindows(u32 board) override {
        auto it = boards.find(board);
        if (it == boards.end()) return 0;
        ++it->second.raised;
        return 1;
    }
    void OpenBoardWindow(u32 board, const std::string& name) override {
        calls.push_back("OpenBoardWindow");
        openedBoards.emplace_back(board, name);
    }
    bool BoardWindowOpen(u32 board) override { return boards.count(board) != 0; }
    void AddBoardSummary(const BoardSummary& summary) override {
        calls.push_back("AddBoardSummary");
        boards.at(summary.board).lines.push_back(summary);
    }
    void OpenBoardMessage(const BoardMessage& message) override {
        calls.push_back("OpenBoardMessage");
        messages.push_back(message);
    }

    bool OptionsWindowOpen() override { return optionsOpen; }
    void FillOptionsList(int list, const std::vector<std::string>& entries) override {
        calls.push_back("FillOptionsList");
        optionsLists[list] = entries;
    }
    void ColourOptionsEntry(int list, int index, u16 hue) override {
        calls.push_back("ColourOptionsEntry");
        if (list == 1) secondListHues[index] = hue;
    }
    void ColourOptionsEntriesNamed(int list, const std::string& name, u16 hue) override {
        calls.push_back("ColourOptionsEntriesNamed");
        if (list == 1) namedColours.emplace_back(name, hue);
    }

    void OpenTextPopup(int x, int y, int width, int height, const std::u16string& text) override {
        calls.push_back("OpenTextPopup");
        popups.push_back({x, y, width, height, text});
    }

private:
    TextWindowHooks* previous_;
};
