#include "client/world/art_patch.h"

#include <algorithm>

#include "client/data/data_file_cache.h"
#include "client/data/message_box.h"
#include "client/world/client_world.h"

bool UpdateArtRecord(const u8* data, size_t length, s32 id, int mode, u32 extra) {
    if (id < 0 || id > 65535) {
        ShowMessageBox("Tried to update art less than 0 or greater then 65535.", "damn art bug",
                       false);
        return false;
    }
    const bool land = id < kArtStaticBase;
    bool written = false;
    if (mode == -1) {
        written = TheDataCache().UpdateRecord(kFileArtIndex, kFileArt, id, extra, nullptr, 0);
    } else {
        // Sized by what arrived: the record's own length words are the sender's claim.
        size_t bytes = land ? std::min(length, kLandArtPatchBytes) : length;
        if (data == nullptr) bytes = 0;
        written =
            TheDataCache().UpdateRecord(kFileArtIndex, kFileArt, id, extra, data,
                                        static_cast<s32>(std::min<size_t>(bytes, 0x7FFFFFFF)));
    }
    if (land)
        TheWorldTileListener().RefreshLandGraphic(id);
    else
        TheWorldTileListener().RefreshStaticGraphic(id - kArtStaticBase);
    return written;
}
