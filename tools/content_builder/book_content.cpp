#include "tools/content_builder/book_content.h"

std::vector<std::pair<int, BookRecord>> DemoReadOnlyBooks() {
    std::vector<std::pair<int, BookRecord>> books;
    books.push_back({kChronicleBook,
                     {"The Chronicle of Sorvenmar",
                      "Odel the Scribe",
                      {{"In the first years the", "fishers of the bay built", "their huts above the",
                        "tide line, and the first", "well was dug where the", "market stands today."},
                       {"The inn came after the", "road, and the road after", "the smithy: carts that",
                        "broke their wheels on the", "hill needed a smith, and", "smiths need ale."},
                       {"The wolves of the south", "meadow are older than the", "town. The herders keep",
                        "their deer close and the", "guards keep the gate."}}}});
    books.push_back({1,
                     {"On the Keeping of Deer",
                      "Ysolde of the Meadow",
                      {{"A herd follows its eldest.", "Lead the eldest and the", "rest will come."},
                       {"Keep them from the woods", "at dusk, when the wolves", "are hungry."}}}});
    books.push_back({2,
                     {"A Guard's Duties",
                      "Captain Hollin",
                      {{"Answer every call within", "the walls. Warn once.", "Strike true."},
                       {"When the town is quiet,", "leave it so."}}}});
    return books;
}
