// The alignment flag bytes from what a mobile holds: the side it belongs to (A) and the sides
// it is hostile to (B), derived again from scratch, and again after a load.
#include "server/world/mobile_alignment.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "server/world/mobile.h"
#include "server/world/resource_type.h"
#include "tests/server/world/world_test_support.h"

namespace {

class MobileAlignmentTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        for (const char* name : {"evil", "good", "humans", "meat", "CARNIVOREMEAT", "hide"}) {
            auto* t = new CResourceType;
            t->SetInternalName(name);
            t->SetNumber(GetResourceTypes().AllocNumber());
            GetResourceTypes().Add(t);
        }
    }
    static int Type(const char* name) { return GetResourceTypes().FindNumber(name); }
};

TEST_F(MobileAlignmentTest, HeldAmountsSetTheSidesAndTheHostilities) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, s32>> held;  // kind-3 current amounts
        u8 a, b;
    } cases[] = {
        {"nothing held", {}, 0x00, 0x00},
        {"a character", {{"meat", 10}, {"humans", 10}, {"good", 1}}, 0x0B, 0x04},
        {"a deer", {{"meat", 4}, {"hide", 1}}, 0x01, 0x00},
        {"a wolf", {{"CARNIVOREMEAT", -1}, {"humans", -1}, {"hide", 1}}, 0x00, 0x03},
        {"prey by the other name", {{"CARNIVOREMEAT", 2}}, 0x01, 0x00},
        {"hunts meat", {{"meat", -3}}, 0x00, 0x01},
        {"evil", {{"evil", 1}}, 0x04, 0x0A},
        {"good and evil", {{"evil", 1}, {"good", 1}}, 0x0C, 0x0E},
        {"emptied amounts count for nothing", {{"meat", 0}, {"humans", 0}}, 0x00, 0x00},
    };
    for (const Case& c : cases) {
        auto* m = new CMobile;
        m->SetAlignmentFlag(0, 0x40, true);  // whatever was there before goes
        m->SetAlignmentFlag(1, 0x80, true);
        for (const auto& [name, amount] : c.held)
            m->AddResource(Type(name), 3, amount, 0, amount);
        DeriveAlignmentFlags(*m);
        EXPECT_EQ(m->GetAlignmentFlags(0), c.a) << c.what;
        EXPECT_EQ(m->GetAlignmentFlags(1), c.b) << c.what;
        delete m;
    }
}

// Only held amounts (kind 3, the current amount) count: a wanted kind is no side.
TEST_F(MobileAlignmentTest, NeedsAndDesiresAreNoSide) {
    auto* m = new CMobile;
    m->AddResource(Type("meat"), 0, 10, 2, 10);   // food
    m->AddResource(Type("humans"), 2, 1, 2, 1);   // a desire
    m->AddResource(Type("good"), 3, 5, 0, 0);     // held once, all gone now
    DeriveAlignmentFlags(*m);
    EXPECT_EQ(m->GetAlignmentFlags(0), 0);
    EXPECT_EQ(m->GetAlignmentFlags(1), 0);
    delete m;
}

}  // namespace
