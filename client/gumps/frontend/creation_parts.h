#pragma once
// The pieces the character-creation screens are built of: read-only number and choice fields
// (centred values, no art), art buttons, horizontal slider thumbs, side pictures linked beside
// a screen, and the modal chooser that fills a choice field.
#include <string>
#include <utility>
#include <vector>

#include "client/gumps/framework/button_gump.h"

class CGump;
class CInputControlGump;
class CThumbGump;
class CDumbGump;

constexpr int kCreationFieldHue = 902;
constexpr int kCreationFieldFont = 1;
constexpr int kSliderArt = 1209;
constexpr int kSliderHoverArt = 1210;

// The read-only fields are at least as high as their font's line (a lower row grows around
// its middle).
// A read-only field of a size without art showing `number` centred.
CInputControlGump* MakeNumberField(CGump* owner, int x, int y, int width, int height, int number);
// A read-only choice field of a size without art: an id and its text, centred. Linked unless
// `link` is false.
CInputControlGump* MakeChoiceField(CGump* owner, int x, int y, int width, int height, int maximum,
                                   int id, const std::string& text, bool link = true);
// Sets a number field's value (redrawn).
void SetNumberField(CInputControlGump* field, int number);
// Sets a choice field's id and text (redrawn).
void SetChoiceField(CInputControlGump* field, int id, const std::string& text);
// A push button with normal, pressed and hover art (hover 0: none).
CButtonGump* MakeArtButton(CGump* owner, int x, int y, int normal, int pressed, int hover,
                           ButtonCallback callback);
// A horizontal thumb on the screen's track.
CThumbGump* MakeSliderThumb(CGump* owner, int x, int y, int trackEnd);
// A side picture: a plain picture of a gump art, linked at the top level at a screen place.
CDumbGump* MakeSidePicture(int art, int x, int y);
void ShowGump(CGump* gump, bool shown);

// Opens a modal chooser centred on the screen that writes the picked (id, text) into `field`
// and tells `owner`; closing it tells `owner` OnChooserClosed.
void OpenFieldChooser(CGump* owner, CInputControlGump* field, int art,
                      const std::vector<std::pair<int, std::string>>& items);
