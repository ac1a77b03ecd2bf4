#pragma once
// Mobile groups: named sets of mobiles with a leader, kept in one list for the whole server.
// The only live use is that a destroyed mobile leaves every group (CMobile's destructor);
// the player command that forms, joins, leaves and disbands groups is carried but nothing
// sends it yet. NPC packs (a leader and its followers) are a different thing.
#include <list>
#include <vector>

#include "platform/types.h"

class CMobile;

class MobileGroupList {
public:
    // The most groups the list holds; a further one is refused.
    static constexpr int kMaxGroups = 10001;
    // Room for a name, its terminator included; longer names are cut.
    static constexpr int kNameSize = 84;
    // Only the first ten members of a group count for the membership tests.
    static constexpr int kMembersSearched = 10;

    struct Group {
        CMobile* leader = nullptr;
        char name[kNameSize] = {};
        std::vector<CMobile*> members;
    };

    // Appends a group of that leader and name (cut to fit); false when the list is full.
    bool AddGroup(CMobile* leader, const char* name);
    Group* FindGroupOfLeader(const CMobile* leader);
    // The leader of the first group whose first ten members hold the mobile, or null.
    CMobile* FindLeaderOfMember(const CMobile* mobile);
    // No group of that leader: -1. The mobile among the first ten members: taken out, 1.
    // Otherwise appended as a member, 0.
    int ToggleMember(CMobile* leader, CMobile* mobile);
    // Takes the mobile out of the leader's group: 0, or -1 when that leader has no group.
    int RemoveMember(CMobile* leader, CMobile* mobile);
    // Deletes the leader's group: 0, or -1 when there is none.
    int RemoveGroup(CMobile* leader);
    // Deletes every group the mobile leads and takes it out of every group it belongs to.
    void RemoveFromAllGroups(const CMobile* mobile);
    // The group command of a player (actor) about another mobile or itself: forms, joins,
    // leaves or disbands, tells those concerned, and sends the actor the group notice (0x39)
    // with both serials (zeros when either is missing). Does nothing for a non-player actor.
    void GroupCommand(CMobile* actor, CMobile* other);

    int GroupCount() const { return static_cast<int>(groups_.size()); }
    void Clear() { groups_.clear(); }

private:
    std::list<Group> groups_;
};

// The server's group list.
extern MobileGroupList g_mobileGroups;
