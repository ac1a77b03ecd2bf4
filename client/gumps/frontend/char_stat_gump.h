#pragma once
// The first character-creation screen: name, character password, profession and the three
// attributes (strength, dexterity, intelligence) on sliders that always total 65. Next goes on
// to the skill screen, Cancel back to the character list.
#include <array>

#include "client/gumps/framework/gump.h"

class CInputControlGump;
class CThumbGump;
class CDumbGump;

class CCharStatGump : public CGump {
public:
    // Starts with a random one of the professions 5, 6, 8, 13, 14 applied. The side picture is
    // linked; the caller links the screen.
    CCharStatGump();
    ~CCharStatGump() override;

    static void ChooseProfession(CGump*);
    static void Next(CGump*);
    static void Cancel(CGump*);
    // Fills the attributes (scaled to 65), and the skill screen's skills and values.
    void ApplyProfession(const int weights[3], const int skills[3], const int values[3]);
    // The right column shows strength, intelligence, dexterity.
    void UpdateDerived();
    std::array<int, 3> Attributes() const;

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnSliderMoved(int position, int range, CGump* thumb) override;
    void OnControlChanged(CGump* control) override;
    void OnFieldTab() override;
    void OnFieldEnter() override { Next(this); }
    void OnFieldEscape() override { Cancel(this); }
    void OnChooserClosed() override;
    bool ClosesOnEscape() override { return false; }
    bool IsCharStatGump() override { return true; }

    bool pressed = false;
    CInputControlGump* nameField = nullptr;
    CInputControlGump* passwordField = nullptr;
    CInputControlGump* attributeFields[3] = {};
    CThumbGump* thumbs[3] = {};
    CInputControlGump* derivedFields[3] = {};
    // Holds the profession id; never linked or drawn (owned by the screen).
    CInputControlGump* professionField = nullptr;
    CDumbGump* sidePicture = nullptr;
};

// Deletes the four creation screens and their side pictures (those that exist).
void DeleteCreationScreens();
