#include "tools/content_builder/journal_art.h"

#include <string>

#include "tools/content_builder/skill_and_fighting_art.h"

namespace {

GumpPicture JournalArt(CFontTable& fonts, u32 id) {
    switch (id) {
        case 31: {  // the scroll thumb
            GumpCanvas c(14, 16);
            c.Stone(0, 0, 14, 16, 18, 13, 6);
            c.Bevel(0, 0, 14, 16, 1, false);
            return c.picture;
        }
        case 2090: {  // the title
            GumpCanvas c(70, 18);
            c.Stone(0, 0, 70, 18, 26, 23, 16);
            Caption(fonts, c, "Journal", 0);
            return c.picture;
        }
        case 2092: {  // the lock, shown while the view is locked
            GumpCanvas c(12, 14);
            c.Fill(2, 0, 10, 6, GumpRgb5(10, 8, 4));
            c.Fill(4, 2, 8, 6, 0);
            c.Stone(0, 6, 12, 14, 24, 19, 6);
            c.Bevel(0, 6, 12, 14, 1, false);
            return c.picture;
        }
        case 2506:  // the titles of a tip and of a notice
        case 2514: {
            GumpCanvas c(90, 18);
            c.Stone(0, 0, 90, 18, 26, 23, 16);
            Caption(fonts, c, id == 2506 ? "Tip of the day" : "Update", 0);
            return c.picture;
        }
        case 2508:  // previous and next tip
        case 2509: {
            GumpCanvas c(40, 16);
            c.Stone(0, 0, 40, 16, 20, 17, 10);
            c.Bevel(0, 0, 40, 16, 1, false);
            Caption(fonts, c, id == 2508 ? "Prev" : "Next", 0);
            return c.picture;
        }
        case 2510:  // the box, clear and ticked
        case 2511: {
            GumpCanvas c(12, 12);
            c.Stone(0, 0, 12, 12, 24, 21, 14);
            c.Bevel(0, 0, 12, 12, 1, true);
            if (id == 2511) c.Fill(3, 3, 9, 9, GumpRgb5(6, 4, 2));
            return c.picture;
        }
        default: {  // 2096, 2507, 2515: the rolled-up journal, tip and notice
            GumpCanvas c(60, 24);
            c.Stone(0, 0, 60, 24, 26, 23, 16);
            c.Bevel(0, 0, 60, 24, 2, false);
            Caption(fonts, c, id == 2096 ? "Journal" : (id == 2507 ? "Tip" : "Update"), 0);
            return c.picture;
        }
    }
}

}  // namespace

std::vector<u32> JournalGumpIds() {
    return {31, 2090, 2092, 2096, 2506, 2507, 2508, 2509, 2510, 2511, 2514, 2515};
}

void AddJournalArt(GumpArtWriter& writer, CFontTable& fonts) {
    for (u32 id : JournalGumpIds())
        writer.Add(id, JournalArt(fonts, id));
}
