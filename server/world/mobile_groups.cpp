#include "server/world/mobile_groups.h"

#include <algorithm>
#include <cstring>

#include "server/world/mobile.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"

MobileGroupList g_mobileGroups;

namespace {

constexpr const char* kDefaultGroupName = "Bad doodz";

bool AmongFirstMembers(const MobileGroupList::Group& group, const CMobile* mobile) {
    const size_t n = std::min<size_t>(group.members.size(), MobileGroupList::kMembersSearched);
    return std::find(group.members.begin(), group.members.begin() + static_cast<long>(n), mobile) !=
           group.members.begin() + static_cast<long>(n);
}

void EraseFirst(std::vector<CMobile*>& members, const CMobile* mobile) {
    auto it = std::find(members.begin(), members.end(), mobile);
    if (it != members.end()) members.erase(it);
}

void Tell(CMobile* mobile, const char* text) {
    if (mobile && mobile->IsPlayer())
        GetPacketServices().SendSystemMessage(static_cast<CPlayer*>(mobile), text);
}

}  // namespace

bool MobileGroupList::AddGroup(CMobile* leader, const char* name) {
    if (GroupCount() >= kMaxGroups) return false;
    Group& group = groups_.emplace_back();
    group.leader = leader;
    if (name) {
        std::strncpy(group.name, name, kNameSize - 1);
        group.name[kNameSize - 1] = '\0';
    }
    return true;
}

MobileGroupList::Group* MobileGroupList::FindGroupOfLeader(const CMobile* leader) {
    for (Group& group : groups_)
        if (group.leader == leader) return &group;
    return nullptr;
}

CMobile* MobileGroupList::FindLeaderOfMember(const CMobile* mobile) {
    for (Group& group : groups_)
        if (AmongFirstMembers(group, mobile)) return group.leader;
    return nullptr;
}

int MobileGroupList::ToggleMember(CMobile* leader, CMobile* mobile) {
    Group* group = FindGroupOfLeader(leader);
    if (!group) return -1;
    if (AmongFirstMembers(*group, mobile)) {
        EraseFirst(group->members, mobile);
        return 1;
    }
    group->members.push_back(mobile);
    return 0;
}

int MobileGroupList::RemoveMember(CMobile* leader, CMobile* mobile) {
    Group* group = FindGroupOfLeader(leader);
    if (!group) return -1;
    EraseFirst(group->members, mobile);
    return 0;
}

int MobileGroupList::RemoveGroup(CMobile* leader) {
    for (auto it = groups_.begin(); it != groups_.end(); ++it) {
        if (it->leader == leader) {
            groups_.erase(it);
            return 0;
        }
    }
    return -1;
}

void MobileGroupList::RemoveFromAllGroups(const CMobile* mobile) {
    groups_.remove_if([mobile](const Group& g) { return g.leader == mobile; });
    for (Group& group : groups_) {
        auto& m = group.members;
        m.erase(std::remove(m.begin(), m.end(), mobile), m.end());
    }
}

void MobileGroupList::GroupCommand(CMobile* actor, CMobile* other) {
    if (!actor || !actor->IsPlayer()) return;
    CPlayer* player = static_cast<CPlayer*>(actor);
    if (!other) {
        GetPacketServices().SendGroupNotice(player, 0, 0);
        return;
    }
    CMobile* leader = FindLeaderOfMember(actor);
    if (leader == actor && other == actor) {
        RemoveGroup(actor);
        actor->Bark("Group disbanded!", 946, 3, 0);
        return;
    }
    if (leader && other == actor) {
        // A member naming itself leaves; it is not toggled back in.
        RemoveMember(leader, actor);
        Tell(actor, "I've left a group.");
    } else if (leader) {
        if (ToggleMember(leader, other) == 1) {
            Tell(other, "I've left a group.");
            return;
        }
        Tell(other, "I've joined a group.");
    } else {
        if (!AddGroup(actor, kDefaultGroupName)) return;
        Group* group = FindGroupOfLeader(actor);
        group->members.push_back(actor);
        if (other != actor) group->members.push_back(other);
        Tell(actor, "Group formed and member added");
    }
    GetPacketServices().SendGroupNotice(player, actor->GetSerial(), other->GetSerial());
}
