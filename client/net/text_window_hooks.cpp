#include "client/net/text_window_hooks.h"

#include "client/net/link_report.h"

const char* TextWindowKindName(TextWindowKind kind) {
    switch (kind) {
        case TextWindowKind::kStatus:
            return "status window";
        case TextWindowKind::kShop:
            return "shop window";
        case TextWindowKind::kSkills:
            return "skill window";
        case TextWindowKind::kBook:
            return "book window";
        case TextWindowKind::kBoard:
            return "bulletin board window";
        case TextWindowKind::kBoardMessage:
            return "bulletin board message window";
        case TextWindowKind::kOptions:
            return "options window";
        case TextWindowKind::kTextPopup:
            return "text pop-up";
    }
    return "window";
}

void TextWindowHooks::NotBuilt(TextWindowKind kind) {
    bool& said = said_[size_t(kind)];
    if (said) return;
    said = true;
    notBuiltSaid_.push_back(kind);
    ReportLink(std::string("The ") + TextWindowKindName(kind) + " is not built yet.");
}

void TextWindowHooks::UpdateStatusWindows(const StatusRecord&, bool) {
    NotBuilt(TextWindowKind::kStatus);
}
void TextWindowHooks::UpdateStatusBars(u32, const StatBars&) {
    NotBuilt(TextWindowKind::kStatus);
}
void TextWindowHooks::SetShopMoney(u16) {
    NotBuilt(TextWindowKind::kShop);
}

bool TextWindowHooks::SkillWindowOpen() {
    NotBuilt(TextWindowKind::kSkills);
    return false;
}
void TextWindowHooks::RaiseSkillWindow() {
    NotBuilt(TextWindowKind::kSkills);
}
void TextWindowHooks::RefreshSkillWindow() {
    NotBuilt(TextWindowKind::kSkills);
}
void TextWindowHooks::OpenSkillWindow() {
    NotBuilt(TextWindowKind::kSkills);
}
void TextWindowHooks::OpenSkillValuesWindow(const std::array<u16, SkillRecords::kSkills>&) {
    NotBuilt(TextWindowKind::kSkills);
}

bool TextWindowHooks::FindBookWindow(u32, BookWindowState&) {
    NotBuilt(TextWindowKind::kBook);
    return false;
}
void TextWindowHooks::RetitleBookWindow(u32, const std::string&, const std::string&) {
    NotBuilt(TextWindowKind::kBook);
}
void TextWindowHooks::OpenBookWindow(const BookHeader&) {
    NotBuilt(TextWindowKind::kBook);
}
void TextWindowHooks::SetBookPage(u32, int, const std::vector<std::string>&) {
    NotBuilt(TextWindowKind::kBook);
}
void TextWindowHooks::RedrawBookWindow(u32) {
    NotBuilt(TextWindowKind::kBook);
}

int TextWindowHooks::RaiseBoardWindows(u32) {
    NotBuilt(TextWindowKind::kBoard);
    return 0;
}
void TextWindowHooks::OpenBoardWindow(u32, const std::string&) {
    NotBuilt(TextWindowKind::kBoard);
}
bool TextWindowHooks::BoardWindowOpen(u32) {
    NotBuilt(TextWindowKind::kBoard);
    return false;
}
void TextWindowHooks::AddBoardSummary(const BoardSummary&) {
    NotBuilt(TextWindowKind::kBoard);
}
void TextWindowHooks::OpenBoardMessage(const BoardMessage&) {
    NotBuilt(TextWindowKind::kBoardMessage);
}

bool TextWindowHooks::OptionsWindowOpen() {
    NotBuilt(TextWindowKind::kOptions);
    return false;
}
void TextWindowHooks::FillOptionsList(int, const std::vector<std::string>&) {
    NotBuilt(TextWindowKind::kOptions);
}
void TextWindowHooks::ColourOptionsEntry(int, int, u16) {
    NotBuilt(TextWindowKind::kOptions);
}
void TextWindowHooks::ColourOptionsEntriesNamed(int, const std::string&, u16) {
    NotBuilt(TextWindowKind::kOptions);
}

void TextWindowHooks::OpenTextPopup(int, int, int, int, const std::u16string&) {
    NotBuilt(TextWindowKind::kTextPopup);
}

namespace {
TextWindowHooks* g_hooks = nullptr;

TextWindowHooks& RunningHooks() {
    static TextWindowHooks running;
    return running;
}
}  // namespace

TextWindowHooks& TheTextWindowHooks() {
    return g_hooks ? *g_hooks : RunningHooks();
}

TextWindowHooks* SetTextWindowHooks(TextWindowHooks* hooks) {
    TextWindowHooks* previous = &TheTextWindowHooks();
    g_hooks = hooks;
    return previous;
}

void CopyStatBars(const StatBars& bars, StatusRecord& record) {
    if (bars.pairs & StatBars::kHits) {
        record.hits = bars.hits;
        record.maxHits = bars.maxHits;
    }
    if (bars.pairs & StatBars::kMana) {
        record.mana = bars.mana;
        record.maxMana = bars.maxMana;
    }
    if (bars.pairs & StatBars::kStamina) {
        record.stamina = bars.stamina;
        record.maxStamina = bars.maxStamina;
    }
}
