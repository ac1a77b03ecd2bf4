#include "client/world/client_saved_item.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/linked_list.h"

namespace {

TEST(ClientSavedItem, KeepsWhatItWasMadeFrom) {
    ClientSavedItem item(0x40001234, "a torch", -5, 4095, 7, -1);
    EXPECT_EQ(item.ownerSerial, 0x40001234);
    EXPECT_EQ(item.age, 0);
    EXPECT_STREQ(item.name.GetText(), "a torch");
    EXPECT_EQ(item.x, -5);
    EXPECT_EQ(item.y, 4095);
    EXPECT_EQ(item.first, 7);
    EXPECT_EQ(item.second, -1);

    ClientSavedItem unnamed(1, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(unnamed.name.GetText(), nullptr);
    EXPECT_TRUE(unnamed.name == "");
}

// The client world keeps the records of removed objects in a list and, when an object with
// an owner's serial comes back, takes that owner's records out of it.
TEST(ClientSavedItem, RecordsOfAReturningOwnerAreTakenOut) {
    CLinkedList<ClientSavedItem> saved;
    saved.AttachTail(new ClientSavedItem(10, "first of 10", 1, 1, 0, 0));
    saved.AttachTail(new ClientSavedItem(20, "of 20", 2, 2, 0, 0));
    saved.AttachTail(new ClientSavedItem(10, "second of 10", 3, 3, 0, 0));
    saved.AddTail(ClientSavedItem(30, "of 30", 4, 4, 0, 0));  // a copy, name included
    ASSERT_EQ(saved.GetCount(), 4);

    std::vector<std::string> recreated;
    auto* node = saved.GetHead();
    while (saved.IsValid(node)) {
        if (saved.GetAt(node)->ownerSerial != 10) {
            node = saved.NextOf(node);
            continue;
        }
        ClientSavedItem* item = nullptr;
        node = saved.Detach(node, item, 1);
        ASSERT_NE(item, nullptr);
        recreated.push_back(item->name.GetText());
        delete item;  // the caller owns what Detach hands back
    }
    EXPECT_EQ(recreated, (std::vector<std::string>{"first of 10", "second of 10"}));
    ASSERT_EQ(saved.GetCount(), 2);
    EXPECT_STREQ(saved.GetAt(saved.GetHead())->name.GetText(), "of 20");
    EXPECT_STREQ(saved.GetAt(saved.GetTail())->name.GetText(), "of 30");
    // The rest go with the list (AddressSanitizer checks every name is freed once).
}

}  // namespace
