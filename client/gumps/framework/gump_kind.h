#pragma once
// What kind of window a gump is. Windows find one another by kind (the desktop looks for the
// journal, the shop or a container of an object; a closing gump tells the waiting gumps), never
// by their class: every gump answers its kind from `CGump::Kind`, and `CGump::As<T>` gives the
// class of a gump of T's kind. A new window class adds its value here and answers it; the gump
// base class never grows a method per window.
#include "platform/types.h"

enum class GumpKind : u8 {
    // A gump of no kind of its own: plain art the desktop opens, test gumps.
    kPlain,

    // The kinds the framework and the windows look for; most of their windows are not built
    // yet.
    kGeneric,  // a server-described generic gump
    kMap,      // the world view behind every other gump
    kInput,    // the typing line
    kPaperdoll,
    kBark,        // a speech bubble
    kDrag,        // the picture of a dragged object
    kChat,        // the chat window (also a chat-kit window)
    kChatWindow,  // a window made with the chat kit
    kContainer,
    kText,   // the journal
    kThumb,  // a slider thumb
    kStack,  // the amount chooser
    kShop,
    kBill,
    kButton,
    kStatus,
    kSkill,
    kCourse,
    kCharCreation,
    kCharStat,
    kClientCfg,  // the options window
    kToggleControl,
    kInputControl,
    kBook,
    kSpellbook,  // also a book
    kMacroCmd,
    kBB,        // a bulletin board
    kBBLine,    // a line of a bulletin board
    kBBMsg,     // a bulletin-board message
    kFighting,  // the fighting bar
    kMissile,
    kCityChoice,
    kSign,
    kHue,  // the hue picker
    kEditList,
    kSpellIcon,
    kWaiting,  // the message box
    kRadar,
    kTrade,
    kTips,  // the tip of the day or update notice

    // Windows and controls nothing looks for yet.
    kDumb,  // a picture that is never hit
    kListBoxControl,
    kScrollChoice,
    kYesNo,
    kProgress,
    kMainMenu,
    kAcctLogin,
    kLogin,  // the character list
    kPlayChar,
    kDeleteChar,
    kChgPW,
    kInitSkill,
    kTutorial,
    kMultChoice,
    kDeathMenu,
};

// The kind a kind is also: a spellbook is a book, the chat window a chat-kit window; a kind
// that is nothing more answers itself.
constexpr GumpKind BroaderKind(GumpKind kind) {
    switch (kind) {
        case GumpKind::kSpellbook:
            return GumpKind::kBook;
        case GumpKind::kChat:
            return GumpKind::kChatWindow;
        default:
            return kind;
    }
}

// A gump of kind `kind` counts as `wanted`: the same kind or a broader one.
constexpr bool IsKindOf(GumpKind kind, GumpKind wanted) {
    return kind == wanted || BroaderKind(kind) == wanted;
}
