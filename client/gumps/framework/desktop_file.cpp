#include "client/gumps/framework/desktop_file.h"

#include <algorithm>
#include <fstream>

#include "client/gumps/framework/gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "core/byte_order.h"
#include "platform/bounded_file_read.h"

namespace {

class Reader {
public:
    Reader(const u8* data, size_t size) : data_(data), size_(size) {}
    bool U8(u8& v) {
        if (size_ - at_ < 1) return false;
        v = data_[at_++];
        return true;
    }
    bool U16(u16& v) {
        if (size_ - at_ < 2) return false;
        v = LoadLe16(data_ + at_);
        at_ += 2;
        return true;
    }
    bool U32(u32& v) {
        if (size_ - at_ < 4) return false;
        v = LoadLe32(data_ + at_);
        at_ += 4;
        return true;
    }
    bool S32(s32& v) {
        u32 u = 0;
        if (!U32(u)) return false;
        v = static_cast<s32>(u);
        return true;
    }

private:
    const u8* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

bool ParseDesktopFile(const u8* data, size_t size, u32& serial, std::vector<DesktopRecord>& out) {
    out.clear();
    Reader in(data, size);
    if (!in.U32(serial)) return false;
    u8 kind = 0;
    while (in.U8(kind)) {
        DesktopRecord r;
        r.kind = kind;
        bool whole = false;
        switch (kind) {
            case DesktopRecord::kPaperdoll:
            case DesktopRecord::kStatus:
            case DesktopRecord::kOptions:
            case DesktopRecord::kFighting:
                whole = in.S32(r.x) && in.S32(r.y) && in.U8(r.minimised);
                break;
            case DesktopRecord::kJournal:
            case DesktopRecord::kSkills:
                whole = in.S32(r.x) && in.S32(r.y) && in.U8(r.minimised) && in.U16(r.width) &&
                        in.U16(r.height);
                break;
            case DesktopRecord::kSpellIcon:
                whole = in.S32(r.x) && in.S32(r.y) && in.U8(r.spellIndex);
                break;
            default:
                continue;  // never written: skipped one byte at a time
        }
        // A record cut short by the end of the file has no values: it is dropped.
        if (!whole) break;
        out.push_back(r);
    }
    return true;
}

std::vector<u8> WriteDesktopFile(u32 serial, const std::vector<DesktopRecord>& records) {
    std::vector<u8> out;
    AppendLe32(out, serial);
    for (const DesktopRecord& r : records) {
        out.push_back(r.kind);
        AppendLe32(out, static_cast<u32>(r.x));
        AppendLe32(out, static_cast<u32>(r.y));
        out.push_back(r.kind == DesktopRecord::kSpellIcon ? r.spellIndex : r.minimised);
        if (r.kind == DesktopRecord::kJournal || r.kind == DesktopRecord::kSkills) {
            AppendLe16(out, r.width);
            AppendLe16(out, r.height);
        }
    }
    return out;
}

std::string DesktopFileName(int slot) {
    return "desktop.zq" + std::to_string(slot + 1);
}

void ClampDesktopSize(DesktopRecord& r) {
    if (r.kind != DesktopRecord::kJournal && r.kind != DesktopRecord::kSkills) return;
    // y comes from the file: any s32, so the limit is worked out in 64 bits.
    const long long maxHeight =
        std::max<long long>(static_cast<long long>(kResizeBottom) - r.y, kResizeMinHeight);
    r.height = static_cast<u16>(std::clamp<long long>(r.height, kResizeMinHeight, maxHeight));
    r.width = static_cast<u16>(std::min<int>(r.width, kScreenWidth));
}

void CGumpDesktop::SaveDesktop() {
    GumpHostServices& host = GetGumpHostServices();
    if (!host.EnteredWorldThisRun()) return;
    const int slot = host.ChosenSlot();
    if (slot < 0 || slot > 4) return;
    const u32 player = host.PlayerSerial();
    std::vector<DesktopRecord> records;
    for (CGump* g = head; g != nullptr; g = g->nextSibling) {
        DesktopRecord r;
        r.x = g->x;
        r.y = g->y;
        r.minimised = g->minimised ? 1 : 0;
        if (g->IsKind(GumpKind::kPaperdoll) && g->object == player) {
            r.kind = DesktopRecord::kPaperdoll;
        } else if (g->IsKind(GumpKind::kStatus) && g->object == player) {
            r.kind = DesktopRecord::kStatus;
        } else if (g->IsKind(GumpKind::kText)) {
            r.kind = DesktopRecord::kJournal;
            r.width = static_cast<u16>(g->width);
            r.height = static_cast<u16>(g->height);
        } else if (g->IsKind(GumpKind::kSpellIcon)) {
            r.kind = DesktopRecord::kSpellIcon;
            r.spellIndex = static_cast<u8>(g->SpellIndex());
        } else if (g == skillGump) {
            r.kind = DesktopRecord::kSkills;
            r.width = static_cast<u16>(g->width);
            r.height = static_cast<u16>(g->height);
        } else if (g == optionsGump) {
            r.kind = DesktopRecord::kOptions;
        } else if (g == fightingGump) {
            r.kind = DesktopRecord::kFighting;
        } else {
            continue;
        }
        records.push_back(r);
    }
    const std::vector<u8> bytes = WriteDesktopFile(player, records);
    std::ofstream file(host.MakeHDPath(DesktopFileName(slot)), std::ios::binary | std::ios::trunc);
    if (!file) return;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void CGumpDesktop::RestoreDesktop() {
    GumpHostServices& host = GetGumpHostServices();
    const int slot = host.ChosenSlot();
    if (slot < 0 || slot > 4) return;
    std::string bytes;
    constexpr size_t kMaxDesktopFile = 64 * 1024;
    if (!platform::ReadBoundedFile(host.MakeHDPath(DesktopFileName(slot)), kMaxDesktopFile,
                                   platform::Oversize::kTakePrefix, bytes)
             .Read())
        return;
    u32 serial = 0;
    std::vector<DesktopRecord> records;
    const u32 player = host.PlayerSerial();
    if (!ParseDesktopFile(reinterpret_cast<const u8*>(bytes.data()), bytes.size(), serial,
                          records) ||
        serial != player)
        return;
    restoring = true;
    pending.clear();
    auto addPending = [this](const DesktopRecord& r) {
        if (static_cast<int>(pending.size()) >= kMaxPendingPlacements) return;
        pending.push_back({r.kind, r.minimised, r.width, r.height, r.x, r.y});
    };
    auto place = [](CGump* g, const DesktopRecord& r) {
        if (r.minimised == 1) g->Minimize();
        g->x = r.x;
        g->y = r.y;
    };
    for (DesktopRecord r : records) {
        ClampDesktopSize(r);
        switch (r.kind) {
            case DesktopRecord::kPaperdoll: {
                const int body = host.PlayerBody();
                if (body == 402 || body == 403) break;  // a ghost has no paperdoll
                addPending(r);
                host.RequestUseObject(player);
                break;
            }
            case DesktopRecord::kStatus:
                if (CGump* g = host.MakeStatusWindow(player, r.minimised == 1)) {
                    g->x = r.x;
                    g->y = r.y;
                    g->AttachTo(nullptr);
                }
                host.RequestStatus(4, player);
                break;
            case DesktopRecord::kJournal:
                if (CGump* g = OpenGump(0, 7, nullptr, false)) {
                    g->OnResized(r.width, r.height, 0);
                    place(g, r);
                }
                break;
            case DesktopRecord::kSkills:
                addPending(r);
                host.RequestStatus(5, player);
                host.SetOpenSkillsOnList();
                break;
            case DesktopRecord::kOptions:
                if (CGump* g = OpenGump(0, 5000, nullptr, false)) place(g, r);
                break;
            case DesktopRecord::kFighting: {
                CGump* g =
                    host.MakeFightingBar(r.minimised == 1 ? 0 : r.x, r.minimised == 1 ? 0 : r.y);
                if (g == nullptr) break;
                place(g, r);
                fightingGump = g;
                g->AttachTo(nullptr);
                break;
            }
            case DesktopRecord::kSpellIcon:
                if (CGump* g = host.MakeSpellIcon(r.x, r.y, r.spellIndex)) g->AttachTo(nullptr);
                break;
            default:
                break;
        }
    }
    if (pending.empty()) restoring = false;
}
