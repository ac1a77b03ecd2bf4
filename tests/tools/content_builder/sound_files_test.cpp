// The synthesised sounds read back through the data cache as the sound manager takes them:
// a record longer than its 40-byte header, 16-bit samples after it.
#include "tools/content_builder/sound_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/scratch_install.h"

namespace {

TEST(SoundFiles, EverySoundTheClientNamesReadsBack) {
    const std::vector<IndexedRecord> records = BuildDemoSounds();
    std::vector<u8> index, data;
    WriteIndexedRecords(records, index, data);
    EXPECT_EQ(Fnv1a(index), 0x9990d423c3387f28ull) << std::hex << Fnv1a(index);
    EXPECT_EQ(Fnv1a(data), 0xcd76f9a79fa903cfull) << std::hex << Fnv1a(data);
    ScratchInstall install("sound_files", {{kFileSoundIndex, kFileSound, records}});
    for (u32 id : {297u, 298u, 299u, 300u, 81u, 0x55u, 44u, 45u, 46u, 47u, 72u, 79u, 88u, 200u,
                   210u, 211u, 212u, 220u, 221u, 337u, 346u}) {
        SCOPED_TRACE(id);
        s32 length = 0;
        u32 extra = 0;
        const u8* sound = TheDataCache().GetRecord(kFileSoundIndex, kFileSound,
                                                   static_cast<s32>(id), &length, &extra);
        ASSERT_NE(sound, nullptr);
        ASSERT_GT(length, kSoundHeaderBytes + kSoundRate / 10 * 2);
        EXPECT_EQ((length - kSoundHeaderBytes) % 2, 0);
        EXPECT_NE(std::memchr(sound, 0, kSoundHeaderBytes), nullptr);  // a NUL-ended name
        // Not silent, and fading out: the last samples are quieter than the loudest.
        int loudest = 0, last = 0;
        for (s32 at = kSoundHeaderBytes; at + 1 < length; at += 2) {
            s16 v;
            std::memcpy(&v, sound + at, 2);
            loudest = std::max(loudest, std::abs(int{v}));
            if (at >= length - 64) last = std::max(last, std::abs(int{v}));
        }
        EXPECT_GT(loudest, 1000);
        EXPECT_LT(last, loudest / 4);
    }
    s32 length = 0;
    u32 extra = 0;
    EXPECT_EQ(TheDataCache().GetRecord(kFileSoundIndex, kFileSound, 1, &length, &extra), nullptr);
}

// Every sound a template of the demo names for its creatures is in the client's data.
TEST(SoundFiles, EverySoundATemplateNamesIsThere) {
    std::ifstream in(std::string(ZQ_SOURCE_DIR) + "/content/templatestable.dat");
    ASSERT_TRUE(in);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string templates = text.str();
    std::set<u32> have;
    for (const DemoSound& s : DemoSounds())
        have.insert(s.id);
    int named = 0;
    for (size_t at = templates.find("<sfx"); at != std::string::npos;
         at = templates.find("<sfx", at + 1)) {
        const size_t space = templates.find(' ', at);
        const size_t close = templates.find('>', at);
        ASSERT_TRUE(space != std::string::npos && close != std::string::npos && space < close);
        const std::string entry = templates.substr(at, close + 1 - at);
        ++named;
        EXPECT_TRUE(have.count(static_cast<u32>(std::stoul(templates.substr(space + 1))))) << entry;
    }
    EXPECT_GE(named, 6);
}

}  // namespace
