#pragma once
// The first character-creation screen: name, character password, profession and the three
// attributes (strength, dexterity, intelligence) on sliders that always total 65. Next goes on
// to the skill screen, Cancel back to the character list.
#include <array>

#include "client/gumps/frontend/creation_screen.h"

class CInputControlGump;
class CThumbGump;

class CCharStatGump : public CCreationScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kCharStat;
    GumpKind Kind() const override { return kKind; }

    // Starts with a random one of the professions 5, 6, 8, 13, 14 applied (its skills go to the
    // skill screen when there is one). The side picture is linked.
    CCharStatGump();
    ~CCharStatGump() override;

    static void ChooseProfession(CGump*);
    // With an acceptable name: keeps name and password and reports kNext; otherwise a notice.
    static void Next(CGump*);
    // Reports kCancel (back to the character list; the creation screens close).
    static void Cancel(CGump*);
    // Fills the attributes (scaled to 65), and the skill screen's skills and values.
    void ApplyProfession(const int weights[3], const int skills[3], const int values[3]);
    // The right column shows strength, intelligence, dexterity.
    void UpdateDerived();
    std::array<int, 3> Attributes() const;

    void OnSliderMoved(int position, int range, CGump* thumb) override;
    void OnControlChanged(CGump* control) override;
    void OnFieldTab() override;
    void OnFieldEnter() override { Next(this); }
    void OnFieldEscape() override { Cancel(this); }
    CInputControlGump* nameField = nullptr;
    CInputControlGump* passwordField = nullptr;
    CInputControlGump* attributeFields[3] = {};
    CThumbGump* thumbs[3] = {};
    CInputControlGump* derivedFields[3] = {};
    // Holds the profession id; never linked or drawn (owned by the screen).
    CInputControlGump* professionField = nullptr;

protected:
    std::vector<CThumbGump*> Sliders() const override;
};
