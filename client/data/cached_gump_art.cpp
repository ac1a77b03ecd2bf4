#include "client/data/cached_gump_art.h"

#include "client/data/data_file_cache.h"

bool CachedGumpArt::FindGumpArt(u32 id, GumpArtRecord& out) {
    // Ids past the index's signed range cannot name a record.
    if (id > 0x7FFFFFFFu) return false;
    s32 length = 0;
    u32 extra = 0;
    const u8* data = TheDataCache().GetRecord(kFileGumpIndex, kFileGumpArt, static_cast<s32>(id),
                                              &length, &extra);
    if (data == nullptr || length <= 0) return false;
    out.data = data;
    out.size = static_cast<size_t>(length);
    out.extra = extra;
    return true;
}

bool PaintGumpArtBackground(int id, u16* pixels, int width, int height) {
    int w = 0, h = 0;
    if (id < 0 || !GetGumpArtSize(static_cast<u32>(id), w, h)) return false;
    CopyGumpToBufClipped(SpanCopyKeyed, static_cast<u32>(id), ClipRect{0, 0, width, height}, 0, 0,
                         pixels, width, height);
    return true;
}
