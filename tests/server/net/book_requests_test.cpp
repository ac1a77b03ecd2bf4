// A client's writes into a book (0x93 header, 0x66 page): only a writable book opened for
// writing takes them; a book a script sealed, one never opened, a read-only book and one out
// of reach keep what they hold.
#include "server/net/book_requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "server/world/books.h"
#include "server/world/object_manager.h"
#include "tests/server/net/player_world_test.h"

namespace {

class BookRequestsTest : public PlayerWorldTest {
protected:
    CItem* Book(int graphic, int x, int status) {
        CItem* book = g_objectManager.CreateItem(graphic);
        book->PlaceInWorld(Location(x, 20, 0));
        if (status >= 0)
            ObjVars::Set(book->ScriptAttachments(), "bookStatus", kTypeInt,
                         ScriptListValue::Int(status));
        ObjVars::Set(book->ScriptAttachments(), "bookPages", kTypeInt, ScriptListValue::Int(4));
        SetBookTitle(*book, "Old title");
        SetBookPageText(*book, 1, {"old line"});
        return book;
    }
    static void Header(CPlayer& player, u32 serial) {
        std::vector<u8> p = {0x93, u8(serial >> 24), u8(serial >> 16), u8(serial >> 8),
                             u8(serial), 1, 0, 1};
        std::string title = "New title", author = "Ann";
        title.resize(kBookTitleWidth, '\0');
        author.resize(kBookAuthorWidth, '\0');
        p.insert(p.end(), title.begin(), title.end());
        p.insert(p.end(), author.begin(), author.end());
        PacketReader r(p.data(), p.size(), 1);
        HandleBookHeader(player, r);
    }
    static void Page(CPlayer& player, u32 serial) {
        std::vector<u8> p = {0x66, 0, 0, u8(serial >> 24), u8(serial >> 16), u8(serial >> 8),
                             u8(serial), 0, 1, 0, 1, 0, 1};
        for (char c : std::string("new line"))
            p.push_back(u8(c));
        p.push_back(0);
        p[1] = u8(p.size() >> 8);
        p[2] = u8(p.size());
        PacketReader r(p.data(), p.size(), 3);
        HandleBookPage(player, r);
    }
};

TEST_F(BookRequestsTest, OnlyABookOpenedForWritingTakesAClientsWrites) {
    struct Case {
        const char* what;
        int graphic, x, status;
        bool written;
    } const cases[] = {
        {"opened for writing", 4081, 21, 1, true},
        {"the other writable graphic", 4082, 21, 1, true},
        {"a status byte of 1 in a wider value", 4081, 21, 0x101, true},
        {"never opened", 4081, 21, -1, false},
        {"sealed by a script", 4081, 21, 2, false},
        {"a read-only book", 4079, 21, 1, false},
        {"out of reach", 4081, 60, 1, false},
    };
    for (const Case& c : cases) {
        CItem* book = Book(c.graphic, c.x, c.status);
        Header(*ann, book->GetSerial());
        Page(*ann, book->GetSerial());
        EXPECT_EQ(GetBookTitle(*book), c.written ? "New title" : "Old title") << c.what;
        EXPECT_EQ(GetBookPageLines(*book, 1),
                  std::vector<std::string>{c.written ? "new line" : "old line"})
            << c.what;
        book->DeleteSelf();
    }
}

}  // namespace
