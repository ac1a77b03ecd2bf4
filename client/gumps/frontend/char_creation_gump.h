#pragma once
// The appearance screen of character creation: sex, hair and beard styles, the hues of skin,
// hair and beard on sliders, and a preview of the dressed figure that follows every choice.
#include <utility>
#include <vector>

#include "client/gumps/frontend/creation_screen.h"

class CButtonGump;
class CInputControlGump;
class CThumbGump;

// Hair and beard styles offered by the choosers, (item graphic, name) in chooser order; "Buns"
// only for women.
std::vector<std::pair<int, const char*>> HairStyles(int sex);
std::vector<std::pair<int, const char*>> BeardStyles();

class CCharCreationGump : public CCreationScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kCharCreation;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kStartSkinHue = 1001;
    static constexpr int kStartHairHue = 1101;
    static constexpr int kShortHair = 8251;

    // Links its two side pictures.
    CCharCreationGump();
    ~CCharCreationGump() override;

    static void ToggleSex(CGump*);
    static void ChooseHair(CGump*);
    static void ChooseBeard(CGump*);
    // Report kNext (the city choice) and kBack (the skill screen).
    static void Next(CGump*);
    static void Back(CGump*);
    // Redraws the frame: background, sex caption and the figure with its hues.
    void DrawPreview();

    int Sex() const;
    int HairStyle() const;
    int BeardStyle() const;

    void OnSliderMoved(int position, int range, CGump* thumb) override;
    void OnControlChanged(CGump* control) override;
    void OnFieldEnter() override { Next(this); }
    void OnFieldEscape() override { Back(this); }
    CButtonGump* hairButton = nullptr;
    CButtonGump* beardButton = nullptr;
    CInputControlGump* hairField = nullptr;
    CInputControlGump* beardField = nullptr;
    CInputControlGump* sexField = nullptr;
    CThumbGump* skinColourThumb = nullptr;
    CThumbGump* skinShadeThumb = nullptr;
    CThumbGump* hairColourThumb = nullptr;
    CThumbGump* beardColourThumb = nullptr;
    CThumbGump* hairShadeThumb = nullptr;
    CThumbGump* beardShadeThumb = nullptr;
    int skinGroup = 0;
    int skinShade = 0;
    int hairShade = 0;
    int beardShade = 0;
    int hairColour = 0;
    int beardColour = 0;
    int skinHue = kStartSkinHue;
    int hairHue = kStartHairHue;
    int beardHue = kStartHairHue;

protected:
    std::vector<CThumbGump*> Sliders() const override;

private:
    void ShowThumbs(CThumbGump* colour, CThumbGump* shade, bool shown);
};
