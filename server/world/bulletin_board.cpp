#include "server/world/bulletin_board.h"

#include <algorithm>
#include <cstdlib>

#include "core/cstr.h"
#include "core/loop_state.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"

CBulletinBoard* CBulletinBoard::s_first = nullptr;
int CBulletinBoard::s_count = 0;

namespace {
void AppendString(CScriptList& list, const std::string& text) {
    CStr s(text.c_str());
    list.Append(kTypeString, ScriptListValue::Ptr(&s));
}

void SetInt(CObjAttachments*& set, const char* name, s32 value) {
    ObjVars::Set(set, name, kTypeInt, ScriptListValue::Int(value));
}
}  // namespace

CBulletinBoard::CBulletinBoard() {
    next_ = s_first;
    if (s_first) s_first->prev_ = this;
    s_first = this;
    ++s_count;
}

CBulletinBoard::~CBulletinBoard() {
    if (prev_) prev_->next_ = next_;
    else if (s_first == this) s_first = next_;
    if (next_) next_->prev_ = prev_;
    next_ = prev_ = nullptr;
    --s_count;
    // The container's destructor takes what is left, with no triggers: a destructor runs no
    // script, which could delete the board again.
}

void CBulletinBoard::DeleteContents() {
    const u32 serial = serial_;
    DeleteAllMessages();
    if (IsObjectAlive(serial, this)) CContainer::DeleteContents();
}

void CBulletinBoard::DeleteAllMessages() {
    const u32 serial = serial_;
    while (firstChild_) {
        bool deleted = false;
        std::vector<u32> children;
        for (CItem* c = firstChild_; c; c = c->GetNextSibling()) children.push_back(c->GetSerial());
        for (u32 childSerial : children) {
            CItem* child = g_objectManager.FindBySerial(childSerial);
            if (!child || child->GetContainer() != this) continue;
            if (DeleteMessage(child, nullptr) == 0) deleted = true;
            if (!IsObjectAlive(serial, this)) return;
        }
        if (!deleted) return;
    }
}

CBulletinBoard* CBulletinBoard::FindClosest(const Location& at) {
    CBulletinBoard* best = nullptr;
    int bestDistance = 0;
    for (CBulletinBoard* b = s_first; b; b = b->next_) {
        if (b->GetContainer() || b->detached_) continue;
        const Location& where = b->GetLocation();
        const int d = std::max(std::abs(where.x - at.x), std::abs(where.y - at.y));
        if (!best || d < bestDistance) {
            best = b;
            bestDistance = d;
        }
    }
    return best;
}

CItem* CBulletinBoard::Post(CMobile* poster, CItem* parent, const std::string& subject,
                            const std::vector<std::string>& lines, const BoardPostClock& clock) {
    CItem* message = g_objectManager.CreateItem(kMessageGraphic);
    if (!message) return nullptr;
    const u32 serial = message->GetSerial();
    if (!message->AddToContainer(this, Location(0, 0, 0))) {
        if (IsObjectAlive(serial, message)) message->DeleteSelf();
        return nullptr;
    }
    if (!IsObjectAlive(serial, message)) return nullptr;
    CObjAttachments*& vars = message->ScriptAttachments();
    ObjVars::Set(vars, "msgId", kTypeObject,
                 ScriptListValue::Int(static_cast<s32>(parent ? parent->GetSerial() : 0)));
    SetInt(vars, "msgDay", clock.day);
    SetInt(vars, "msgTime", static_cast<s32>(GetLoopTime()));
    if (poster) {
        CScriptList look;
        AppendString(look, poster->GetRealName() ? poster->GetRealName() : "");
        look.Append(kTypeInt, ScriptListValue::Int(poster->GetType()));
        look.Append(kTypeInt, ScriptListValue::Int(poster->GetHue()));
        for (int layer : kPaperdollLayerOrder) {
            const CItem* worn = poster->GetLayer(layer);
            if (!worn) continue;
            look.Append(kTypeInt, ScriptListValue::Int(worn->GetType()));
            look.Append(kTypeInt, ScriptListValue::Int(worn->GetHue()));
        }
        ObjVars::Set(vars, "poster", kTypeList, ScriptListValue::Ptr(&look));
    }
    SetInt(vars, "postTime", clock.day * 1440 + clock.hour * 60 + clock.minute);
    CScriptList text;
    AppendString(text, subject);
    // The line count travels in a byte.
    const size_t count = lines.size() > 255 ? 255 : lines.size();
    for (size_t i = 0; i < count; ++i) AppendString(text, lines[i]);
    ObjVars::Set(vars, "postText", kTypeList, ScriptListValue::Ptr(&text));
    return message;
}

bool CBulletinBoard::HasReplies(u32 serial) const {
    for (const CItem* c = firstChild_; c; c = c->GetNextSibling()) {
        u32 parent = 0;
        if (ObjVars::GetObject(c->ScriptAttachments(), "msgId", parent) && parent == serial)
            return true;
    }
    return false;
}

u32 CBulletinBoard::DeleteMessage(CItem* message, CPlayer* requester) {
    if (!message || message->GetContainer() != this) return 1;
    if (requester && !requester->IsEditing()) {
        u32 owner = 0;
        if (!ObjVars::GetObject(message->ScriptAttachments(), "msgOwner", owner) ||
            owner != requester->GetSerial())
            return requester->GetSerial();
    }
    if (HasReplies(message->GetSerial())) return 1;
    message->DeleteSelf();
    return 0;
}

void CBulletinBoard::ExpireMessages() {
    const u32 serial = serial_;
    const u32 now = GetLoopTime();
    std::vector<u32> children;
    for (CItem* c = firstChild_; c; c = c->GetNextSibling()) children.push_back(c->GetSerial());
    for (u32 childSerial : children) {
        CItem* child = g_objectManager.FindBySerial(childSerial);
        if (!child || child->GetContainer() != this) continue;
        s32 posted = 0;
        ObjVars::GetInt(child->ScriptAttachments(), "msgTime", posted);
        const s32 age = static_cast<s32>(now - static_cast<u32>(posted));
        if (age >= kMessageLifetimeMs) DeleteMessage(child, nullptr);
        if (!IsObjectAlive(serial, this)) return;
    }
}

void CBulletinBoard::ExpireAllBoards() {
    // A message's destruction may run scripts that delete boards: walk by serial.
    std::vector<u32> boards;
    for (CBulletinBoard* b = s_first; b; b = b->next_) boards.push_back(b->GetSerial());
    for (u32 serial : boards) {
        CItem* item = g_objectManager.FindBySerial(serial);
        if (item && item->IsBulletinBoard()) static_cast<CBulletinBoard*>(item)->ExpireMessages();
    }
}
