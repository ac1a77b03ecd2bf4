// The save field tables: what a class writes, that class or a more general one reads back.
#include "server/world/save_field.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_fields.h"
#include "server/world/player.h"
#include "server/world/weapon.h"

namespace {

// The keys a table writes, and the keys it reads.
struct Keys {
    std::vector<std::string> written;
    std::vector<std::string> read;
};

template <class T>
Keys KeysOf(std::span<const SaveField<T>> rows) {
    Keys keys;
    for (const SaveField<T>& row : rows) {
        if (row.write) keys.written.push_back(row.key);
        if (row.read) keys.read.push_back(row.key);
    }
    return keys;
}

bool ReadBy(const std::string& key, const std::vector<Keys>& tables) {
    for (const Keys& t : tables) {
        for (const std::string& read : t.read) {
            if (read == key) return true;
        }
    }
    return false;
}

TEST(SaveFieldTables, EveryWrittenKeyIsReadBackByItsClassOrAMoreGeneralOne) {
    const Keys item = KeysOf(ObjectFieldAccess::ItemFields());
    const Keys weapon = KeysOf(ObjectFieldAccess::WeaponFields());
    const Keys corpse = KeysOf(ObjectFieldAccess::CorpseFields());
    const Keys mobile = KeysOf(ObjectFieldAccess::MobileFields());
    const Keys npc = KeysOf(ObjectFieldAccess::NpcFields());
    const Keys shop = KeysOf(ObjectFieldAccess::ShopKeeperFields());
    const Keys player = KeysOf(ObjectFieldAccess::PlayerFields());
    struct Chain {
        const char* name;
        const Keys& table;
        std::vector<Keys> readers;  // the class and the classes it derives from
    } chains[] = {
        {"item", item, {item}},
        {"weapon", weapon, {weapon, item}},
        {"corpse", corpse, {corpse, item}},
        {"mobile", mobile, {mobile, item}},
        {"npc", npc, {npc, mobile, item}},
        {"shopkeeper", shop, {shop, npc, mobile, item}},
        {"player", player, {player, mobile, item}},
    };
    for (const Chain& c : chains) {
        EXPECT_FALSE(c.table.written.empty()) << c.name;
        for (const std::string& key : c.table.written)
            EXPECT_TRUE(ReadBy(key, c.readers)) << c.name << " writes " << key;
    }
    // The mobile writes the pair of a skill under one row; its second key is read too.
    EXPECT_TRUE(ReadBy("skillmod", {mobile}));
}

// Every class table is checked by a static_assert; the check itself must catch a repeat.
TEST(SaveFieldTables, ARepeatedKeyIsCaught) {
    const SaveField<CItem> once[] = {{"hue", nullptr, nullptr}, {"type", nullptr, nullptr}};
    const SaveField<CItem> twice[] = {
        {"hue", nullptr, nullptr}, {"type", nullptr, nullptr}, {"hue", nullptr, nullptr}};
    EXPECT_TRUE(SaveFieldKeysAreUnique<CItem>(once));
    EXPECT_FALSE(SaveFieldKeysAreUnique<CItem>(twice));
}

}  // namespace
