#include "server/net/board_packets.h"

#include <cstdio>
#include <cstring>

#include "core/cstr.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/world/item.h"
#include "server/world/tile_data.h"

namespace {
constexpr size_t kMaxBoardText = 254;

void AppendBoardString(PacketWriter& w, const char* text) {
    if (!text) text = "";
    size_t n = std::strlen(text);
    if (n > kMaxBoardText) n = kMaxBoardText;
    w.AppendByte(static_cast<u8>(n + 1));
    w.AppendBytes(text, n);
    w.AppendByte(0);
}

const CScriptListNode* Node(const CScriptList* list, s32 index) {
    return list ? list->NodeAt(index) : nullptr;
}
bool IsInt(const CScriptListNode* n) {
    return n && n->tag == kTypeInt;
}
bool IsString(const CScriptListNode* n) {
    return n && n->tag == kTypeString;
}
const char* TextOf(const CScriptListNode* n) {
    return IsString(n) && n->value.s ? n->value.s->CText() : "";
}
u16 IntOf(const CScriptListNode* n) {
    return IsInt(n) ? static_cast<u16>(n->value.i) : 0;
}

// The poster's body, hue and worn pairs: all 0 unless the list starts with a name and a body;
// the hue and pairs 0 unless the third entry is an int. A lone last graphic is not sent.
void AppendPosterLook(PacketWriter& w, const CScriptList* poster) {
    const CScriptListNode* name = Node(poster, 0);
    const CScriptListNode* body = Node(poster, 1);
    const CScriptListNode* hue = Node(poster, 2);
    if (!IsString(name) || !IsInt(body)) {
        w.AppendShort(0);
        w.AppendShort(0);
        w.AppendByte(0);
        return;
    }
    w.AppendShort(IntOf(body));
    if (!IsInt(hue)) {
        w.AppendShort(0);
        w.AppendByte(0);
        return;
    }
    w.AppendShort(IntOf(hue));
    s32 pairs = (poster->Count() - 3) / 2;
    if (pairs > 255) pairs = 255;
    w.AppendByte(static_cast<u8>(pairs));
    const CScriptListNode* n = hue->next;
    for (s32 i = 0; i < pairs && n && n->next; ++i, n = n->next->next) {
        w.AppendShort(IntOf(n));
        w.AppendShort(IntOf(n->next));
    }
}

void AppendLines(PacketWriter& w, const CScriptList* text) {
    const CScriptListNode* subject = Node(text, 0);
    if (!IsString(subject)) {
        w.AppendByte(0);
        return;
    }
    s32 count = text->Count() - 1;
    if (count > 255) count = 255;
    w.AppendByte(static_cast<u8>(count));
    const CScriptListNode* n = subject->next;
    for (s32 i = 0; i < count && n; ++i, n = n->next) AppendBoardString(w, TextOf(n));
}
}  // namespace

void FormatPostTime(s32 postTime, char* out, size_t size) {
    std::snprintf(out, size, "Day %d @ %d:%02d", postTime / 1440, (postTime % 1440) / 60,
                  postTime % 60);
}

bool BuildBoardOpenPacket(PacketWriter& w, const CItem& board) {
    w.Begin(kBoardPacketId, true);
    w.AppendByte(0);
    w.AppendLong(board.GetSerial());
    w.AppendFixedText(GetTileData().Static(board.GetType()).name, kBoardNameWidth);
    return w.Ok();
}

bool BuildBoardMessagePacket(PacketWriter& w, const CItem& message, BoardMessageForm form) {
    const CObjAttachments* vars = message.ScriptAttachments();
    const CScriptList* poster = ObjVars::GetList(vars, "poster");
    const CScriptList* text = ObjVars::GetList(vars, "postText");
    const CItem* board = message.GetContainer();
    w.Begin(kBoardPacketId, true);
    w.AppendByte(static_cast<u8>(form));
    w.AppendLong(board ? board->GetSerial() : 0);
    w.AppendLong(message.GetSerial());
    if (form == BoardMessageForm::kSummary) {
        u32 parent = 0;
        ObjVars::GetObject(vars, "msgId", parent);
        w.AppendLong(parent);
    }
    AppendBoardString(w, TextOf(Node(poster, 0)));
    AppendBoardString(w, TextOf(Node(text, 0)));
    s32 postTime = 0;
    ObjVars::GetInt(vars, "postTime", postTime);
    char when[48];
    FormatPostTime(postTime, when, sizeof when);
    AppendBoardString(w, when);
    if (form == BoardMessageForm::kFull) {
        AppendPosterLook(w, poster);
        AppendLines(w, text);
    }
    return w.Ok();
}
