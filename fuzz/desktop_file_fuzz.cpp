// Fuzz target: the desktop layout file ("desktop.zqN"). Whatever the bytes, the records read
// are of the kinds written, their sizes clamp into the resize limits, and writing them back and
// reading again gives the same records.
#include <cstdint>

#include "client/gumps/framework/desktop_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    u32 serial = 0;
    std::vector<DesktopRecord> records;
    if (!ParseDesktopFile(data, size, serial, records)) {
        if (size >= 4) __builtin_trap();
        return 0;
    }
    for (DesktopRecord& r : records) {
        if (r.kind == 3 || r.kind == 5 || r.kind > 8) __builtin_trap();
        ClampDesktopSize(r);
        if ((r.kind == DesktopRecord::kJournal || r.kind == DesktopRecord::kSkills) &&
            (r.height < kResizeMinHeight || r.width > 640))
            __builtin_trap();
    }
    const std::vector<u8> bytes = WriteDesktopFile(serial, records);
    u32 again = 0;
    std::vector<DesktopRecord> back;
    if (!ParseDesktopFile(bytes.data(), bytes.size(), again, back) || again != serial ||
        back.size() != records.size())
        __builtin_trap();
    for (size_t i = 0; i < back.size(); ++i)
        if (back[i].kind != records[i].kind || back[i].x != records[i].x ||
            back[i].y != records[i].y || back[i].width != records[i].width ||
            back[i].height != records[i].height)
            __builtin_trap();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> seed = WriteDesktopFile(0x1234, {{0, 10, 20, 1, 0, 0, 0},
                                                           {1, 30, 40, 0, 0, 0, 0},
                                                           {2, 0, 0, 1, 300, 260, 0},
                                                           {4, 5, 5, 0, 250, 300, 0},
                                                           {6, 1, 1, 0, 0, 0, 0},
                                                           {7, 2, 2, 1, 0, 0, 0},
                                                           {8, 3, 3, 0, 0, 0, 12}});
    emit(seed.data(), seed.size());
}
