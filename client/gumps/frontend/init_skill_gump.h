#pragma once
// The second character-creation screen: three starting skills, each picked from the skill
// table with a chooser, with values on sliders that always total 100.
#include <array>

#include "client/gumps/frontend/creation_screen.h"

class CInputControlGump;
class CThumbGump;

class CInitSkillGump : public CCreationScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kInitSkill;
    GumpKind Kind() const override { return kKind; }

    // Loads the skill table; skills 0, 1, 2 at 34, 33, 33. Links its side picture.
    CInitSkillGump();
    ~CInitSkillGump() override;

    static void ChooseSkill(CGump* screen, int field);
    // With three different skills reports kNext; otherwise a notice.
    static void Next(CGump*);
    // Reports kBack (the stat screen again, when there is one).
    static void Back(CGump*);
    // Skill numbers with their names from the table, and their values.
    void SetSkills(const int skills[3], const int values[3]);
    std::array<int, 3> Skills() const;
    std::array<int, 3> Values() const;

    void OnSliderMoved(int position, int range, CGump* thumb) override;
    void OnFieldEnter() override { Next(this); }
    void OnFieldEscape() override { Back(this); }

    CInputControlGump* skillFields[3] = {};
    CInputControlGump* valueFields[3] = {};
    CThumbGump* thumbs[3] = {};

protected:
    std::vector<CThumbGump*> Sliders() const override;
};
