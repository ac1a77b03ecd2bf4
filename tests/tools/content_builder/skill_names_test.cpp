// The skills file read back as the skill table loads it: record n is skill n, a flag byte and
// the name; the professions' skill numbers all have names.
#include "tools/content_builder/skill_names.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "server/world/skill_table.h"
#include "tools/content_builder/mobile_content.h"

#include "tools/content_builder/scratch_install.h"

namespace {

TEST(SkillNames, ReadBackAsTheSkillTableLoadsThem) {
    ScratchInstall install("skill_names",
                           {{kFileSkillsIndex, kFileSkills, BuildDemoSkillRecords()}});
    for (size_t n = 0; n < DemoSkills().size(); ++n) {
        SCOPED_TRACE(n);
        s32 length = 0;
        u32 extra = 0;
        const u8* record = TheDataCache().GetRecord(kFileSkillsIndex, kFileSkills,
                                                    static_cast<s32>(n), &length, &extra);
        ASSERT_NE(record, nullptr);
        ASSERT_GE(length, 2);
        ASSERT_LE(length - 1, 79);
        EXPECT_EQ(record[0], DemoSkills()[n].usable ? 1 : 0);
        EXPECT_EQ(
            std::string(reinterpret_cast<const char*>(record + 1), static_cast<size_t>(length - 1)),
            DemoSkills()[n].name);
    }
    s32 length = 0;
    u32 extra = 0;
    EXPECT_EQ(TheDataCache().GetRecord(kFileSkillsIndex, kFileSkills,
                                       static_cast<s32>(DemoSkills().size()), &length, &extra),
              nullptr);
    // Every skill number of the fourteen professions exists (the highest is 39).
    EXPECT_EQ(DemoSkills().size(), 46u);
}

// The list is content/skills.txt as it stands: the server loads that text, the client's pair
// is made from it.
TEST(SkillNames, ComeFromTheContentSkillList) {
    std::ifstream in(std::string(ZQ_SOURCE_DIR) + "/content/skills.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(DemoSkillsText(), text);
    CSkillTable table;
    ASSERT_EQ(table.LoadFromText(text), static_cast<int>(DemoSkills().size()));
    for (size_t n = 0; n < DemoSkills().size(); ++n) {
        EXPECT_EQ(DemoSkills()[n].name, table.GetSkillName(static_cast<int>(n)));
        EXPECT_EQ(DemoSkills()[n].usable, table.GetSkill(static_cast<int>(n))->directlyUsable != 0);
    }
}

}  // namespace
