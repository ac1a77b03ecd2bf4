#pragma once
// Bulletin boards: containers whose children are posted messages. A message is a plain item
// of graphic 3760 whose subject, lines, author's look and times are object variables:
// "msgId" (the message it answers, 0 for a new thread), "msgOwner" (who may delete it; set
// only by saved data or scripts), "msgDay", "msgTime" (loop time in ms when posted),
// "poster" [name, body, hue, then graphic and hue of each worn item in paperdoll order],
// "postTime" (game minutes into the week) and "postText" [subject, lines...].
//
// Every board is on one list (newest first) for the daily expiry and the nearest-board query.
// The packets that show a board are built in server/net/board_packets.
#include <string>
#include <vector>

#include "core/location.h"
#include "platform/types.h"
#include "server/world/container.h"

class CMobile;
class CPlayer;

constexpr int kMessageGraphic = 3760;
// A message is expired once this many milliseconds of loop time have passed since it was
// posted (and it has no replies).
constexpr s32 kMessageLifetimeMs = 604800;
// The worn layers a poster's look lists, in this order.
constexpr int kPaperdollLayerOrder[26] = {20, 5,  4,  3,  24, 13, 17, 8,  9,  14, 15, 19, 7,
                                          23, 22, 12, 10, 11, 16, 18, 6,  1,  2,  21, 25, 0};

// The game clock as a post records it.
struct BoardPostClock {
    int day = 0;  // 0-6
    int hour = 0;
    int minute = 0;
};

class CBulletinBoard : public CContainer {
public:
    CBulletinBoard();
    ~CBulletinBoard() override;
    bool IsUsableContainer() const override { return false; }
    bool IsSpellbook() const override { return false; }
    bool IsBulletinBoard() const override { return true; }
    // The messages go replies first; a reply cycle (from saved data or scripts), where a pass
    // deletes nothing, goes the container's way.
    void DeleteContents() override;

    // Among the boards lying in the world (not in a container), the one nearest by
    // max(|dx|, |dy|); the one nearer the head of the list on a tie; null when none.
    static CBulletinBoard* FindClosest(const Location& at);
    static CBulletinBoard* First() { return s_first; }
    static int Count() { return s_count; }
    CBulletinBoard* Next() const { return next_; }

    // Posts a message (a reply when `parent` is given) and returns it; null when the message
    // item could not be made or placed. Without a poster the message has no "poster".
    CItem* Post(CMobile* poster, CItem* parent, const std::string& subject,
                const std::vector<std::string>& lines, const BoardPostClock& clock);

    // 0 when the message was deleted. A requester that is not editing may delete only a
    // message whose "msgOwner" is his serial: otherwise his serial is answered. A message
    // with replies is kept: 1. Null requester: only the replies rule applies.
    u32 DeleteMessage(CItem* message, CPlayer* requester);
    bool HasReplies(u32 serial) const;
    // Deletes every message at least kMessageLifetimeMs old (a signed difference of loop
    // times: a time ahead of now stays) that has no replies.
    void ExpireMessages();
    // ExpireMessages on every board.
    static void ExpireAllBoards();

private:
    // Deletes the messages, replies first, until a pass deletes nothing (a reply cycle).
    void DeleteAllMessages();

    static CBulletinBoard* s_first;
    static int s_count;
    CBulletinBoard* next_ = nullptr;
    CBulletinBoard* prev_ = nullptr;
};
