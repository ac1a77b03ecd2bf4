#pragma once
// The gump art ids of the client's front-end screens, each child at its offset inside its
// screen's panel. This one list drives the gump art generator (screen_gump_art.h) and the
// tests that check every id is in the files, so a screen can never come up without the art
// it needs to be clicked.
#include <string>
#include <vector>

#include "platform/types.h"

enum class ManifestKind {
    kButton,   // ids: normal, pressed, hover (a button without hover art lists two)
    kField,    // text field: ids normal, hover, selected, empty (or fewer)
    kToggle,   // on/off box: off, on, hover off, hover on
    kThumb,    // slider thumb: normal, hover; `trackEnd` is the track's right end
    kWell,     // a place drawn into the panel for a field without art: no ids
    kPicture,  // a picture of the given size drawn at the offset (a progress bar)
    kLabel,    // a caption written into the panel in the label font: no ids
};

// Where the appearance screen draws its figure (the paperdoll pieces' origin) and the male or
// female caption under the sex button, within the screen.
constexpr int kFigurePreviewX = 118;
constexpr int kFigurePreviewY = 4;
constexpr int kSexCaptionX = 16;
constexpr int kSexCaptionY = 236;

struct ManifestChild {
    ManifestKind kind;
    int x;
    int y;
    std::vector<u32> ids;
    std::string label;  // the text written on a button, or a caption's text
    int width = 0;      // fields and wells: their size; 0 for the kind's usual size
    int height = 0;
    int trackEnd = 0;
};

struct ScreenManifest {
    std::string name;
    u32 panel;
    std::vector<ManifestChild> children;
    // Pictures shown beside or over the screen (side pictures, choosers, backgrounds) with
    // their size.
    struct Extra {
        u32 id;
        int width;
        int height;
    };
    std::vector<Extra> extras;
    // Paperdoll pieces the screen puts together into a figure (body, clothes, hair, beards).
    std::vector<u32> figures;
};

// The login screens, the notices and the character-creation screens.
const std::vector<ScreenManifest>& FrontEndScreenManifest();
// The figure pieces of the appearance screen: bodies 12 and 13, the starting clothes, and
// 50000 (male) or 60000 (female) + the animation number of each hair and beard style.
std::vector<u32> FigureGumpIds();
// Every id the manifest names, in ascending order without repeats.
std::vector<u32> ManifestGumpIds();
