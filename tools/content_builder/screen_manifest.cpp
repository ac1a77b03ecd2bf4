#include "tools/content_builder/screen_manifest.h"

#include <algorithm>

#include "tools/content_builder/tile_set.h"

namespace {

using K = ManifestKind;

ManifestChild Button(int x, int y, u32 first, const char* label, int ids = 3) {
    ManifestChild c{K::kButton, x, y, {}, label};
    for (int i = 0; i < ids; ++i)
        c.ids.push_back(first + static_cast<u32>(i));
    return c;
}

ManifestChild Field(int x, int y, std::vector<u32> ids, int width, int height) {
    ManifestChild c{K::kField, x, y, std::move(ids), ""};
    c.width = width;
    c.height = height;
    return c;
}

ManifestChild Label(int x, int y, const char* text) {
    return ManifestChild{K::kLabel, x, y, {}, text};
}

ManifestChild Well(int x, int y, int width, int height) {
    ManifestChild c{K::kWell, x, y, {}, ""};
    c.width = width;
    c.height = height;
    return c;
}

// The line height of font 1, in which the creation screens show their values: a value row
// lower than that grows around its middle, as its field does.
constexpr int kValueLineHeight = 19;

ManifestChild ValueWell(int x, int y, int width, int height) {
    if (height >= kValueLineHeight) return Well(x, y, width, height);
    return Well(x, y - (kValueLineHeight - height) / 2, width, kValueLineHeight);
}

ManifestChild Thumb(int x, int y, int trackEnd) {
    ManifestChild c{K::kThumb, x, y, {1209, 1210}, ""};
    c.trackEnd = trackEnd;
    return c;
}

// The password dialogs and the large notice share one panel and its OK and Cancel buttons.
std::vector<ManifestChild> PasswordDialog(std::vector<int> fieldRows) {
    std::vector<ManifestChild> children;
    for (int y : fieldRows)
        children.push_back(Field(60, y, {1141, 1142, 1143}, 180, 22));
    children.push_back(Button(117, 190, 1147, "OK"));
    children.push_back(Button(204, 190, 1144, "Cancel"));
    return children;
}

std::vector<ScreenManifest> Build() {
    std::vector<ScreenManifest> s;
    s.push_back({"MainMenu gump",
                 1010,
                 {Button(147, 70, 1011, "Log In"), Button(39, 82, 1014, "Notes"),
                  Button(151, 13, 1020, "Help"), Button(159, 38, 1023, "Credits"),
                  Button(309, 82, 1017, "Web"), Button(175, 167, 1026, "Quit")},
                 {{1000, 640, 480}, {1415, 640, 480}}});
    // The chest-opening animation: art 1400, then 1401-1414 over the whole screen.
    for (u32 id = 1400; id <= 1414; ++id)
        s.front().extras.push_back({id, 640, 480});
    ManifestChild remember{K::kToggle, 133, 104, {1051, 1053, 1052, 1054}, ""};
    s.push_back({"AcctLogin gump",
                 1040,
                 {Label(14, 32, "Account"), Field(91, 30, {1055, 1042, 1056, 1041}, 150, 20),
                  Label(14, 67, "Password"), Field(89, 65, {1057, 1044, 1058, 1043}, 150, 20),
                  Button(243, 114, 1048, "Log In"), Button(33, 114, 1045, "Back"), remember,
                  Label(154, 103, "Remember")},
                 {}});
    s.push_back(
        {"Login gump",
         1100,
         {Field(81, 77, {1116, 1117, 1118}, 200, 18), Field(93, 96, {1119, 1120, 1121}, 200, 18),
          Field(100, 114, {1122, 1123, 1124}, 200, 18), Field(92, 134, {1125, 1126, 1127}, 200, 18),
          Field(78, 153, {1128, 1129, 1130}, 200, 18), Button(63, 30, 1107, "New"),
          Button(57, 183, 1101, "Delete"), Button(246, 183, 1104, "Password"),
          Button(245, 30, 1113, "Play"), Button(160, 13, 1110, "Back")},
         {}});
    s.push_back({"PlayChar gump", 1140, PasswordDialog({130}), {}});
    s.push_back({"ChgPW gump", 1140, PasswordDialog({58, 102, 146}), {}});
    s.push_back(
        {"Small notice", 2070, {Button(65, 75, 2071, "Cancel"), Button(65, 75, 2074, "OK")}, {}});
    ManifestChild emptyBar{K::kPicture, 34, 59, {2053}, ""},
        fullBar{K::kPicture, 34, 59, {2054}, ""};
    emptyBar.width = fullBar.width = 110;
    emptyBar.height = fullBar.height = 17;
    s.push_back({"Progress gump", 2060, {emptyBar, fullBar}, {}});
    s.push_back(
        {"CharStat gump",
         1200,
         {Label(40, 29, "Name"), Field(121, 29, {1201, 1202, 1204, 1203}, 130, 18),
          Label(40, 49, "Password"), Field(122, 49, {1205, 1206, 1208, 1207}, 130, 18),
          // The chosen profession's name, left of the button that changes it.
          ValueWell(40, 79, 115, 14), Label(59, 101, "Strength"), Label(59, 131, "Dexterity"),
          Label(59, 161, "Intelligence"), ValueWell(154, 112, 27, 12),
          ValueWell(153, 142, 27, 12), ValueWell(153, 173, 27, 12), ValueWell(222, 112, 27, 12),
          ValueWell(222, 142, 27, 12), ValueWell(222, 173, 27, 12), Thumb(59, 118, 149),
          Thumb(59, 148, 149), Thumb(59, 178, 149), Button(163, 75, 1212, "Profession"),
          Button(62, 208, 1218, "Cancel"), Button(286, 208, 1215, "Next")},
         {{1211, 110, 240}, {1226, 220, 300}, {1227, 12, 12}, {1228, 390, 300}}});
    // The server list's sort buttons (normal, pressed, hover) in the chooser's bottom row.
    for (u32 id = 2363; id <= 2371; ++id)
        s.back().extras.push_back({id, 60, 20});
    s.push_back(
        {"InitSkill gump",
         1230,
         {ValueWell(131, 49, 166, 20), ValueWell(131, 93, 166, 20), ValueWell(131, 138, 166, 20),
          ValueWell(301, 58, 36, 14), ValueWell(302, 103, 36, 14), ValueWell(303, 149, 36, 14),
          Thumb(130, 68, 296), Thumb(130, 113, 296), Thumb(130, 159, 296),
          Button(92, 52, 1238, "..."), Button(90, 97, 1241, "..."), Button(90, 141, 1244, "..."),
          Button(93, 203, 1235, "Back"), Button(280, 202, 1232, "Next")},
         {{1231, 110, 240}}});
    // The figure stands in the middle column (kFigurePreviewX .. + 160); hair on its left,
    // beard on its right, skin below it, so that no control covers it. The left side picture
    // stands in the 28 columns between its place (80) and the screen's (108); the panel ends
    // where the right one begins (505).
    s.push_back({"CharCreation gump",
                 1260,
                 {Button(16, 56, 1274, "Hair"), ValueWell(16, 86, 100, 14), Label(16, 108, "Colour"),
                  Thumb(16, 126, 116), Label(16, 144, "Shade"), Thumb(16, 162, 116),
                  Button(282, 56, 1277, "Beard"), ValueWell(282, 86, 100, 14),
                  Label(282, 108, "Colour"), Thumb(282, 126, 382), Label(282, 144, "Shade"),
                  Thumb(282, 162, 382), Button(16, 210, 1271, "Sex"), Label(118, 310, "Skin colour"),
                  Thumb(118, 328, 278), Label(118, 344, "Skin shade"), Thumb(118, 362, 278),
                  Button(16, 392, 1265, "Back"), Button(326, 392, 1268, "Next")},
                 {{1261, 26, 240}, {1262, 110, 240}, {1263, 64, 20}, {1264, 64, 20}},
                 FigureGumpIds()});
    s.push_back({"CityChoice gump",
                 1300,
                 {ValueWell(105, 58, 180, 16), ValueWell(105, 134, 180, 16),
                  Button(134, 21, 1307, "Server", 2), Button(155, 95, 1310, "City"),
                  Button(272, 168, 1304, "Create"), Button(61, 168, 1301, "Back")},
                 {}});
    // The questionnaire after the city choice: its panel pieces and its buttons.
    for (u32 id = 5120; id <= 5128; ++id)
        s.back().extras.push_back({id, 16, 16});
    for (u32 id = 5033; id <= 5036; ++id)
        s.back().extras.push_back({id, 64, 22});
    return s;
}

}  // namespace

std::vector<u32> FigureGumpIds() {
    std::vector<u32> ids = {12, 13, 50431, 50434, 50480, 50622, 60434, 60449, 60480};
    for (const WornAnimation& w : DemoWornAnimations()) {
        if (w.animation < 600) continue;  // hair and beards only
        ids.push_back(50000u + w.animation);
        if (w.animation < 660) ids.push_back(60000u + w.animation);  // women have no beards
    }
    return ids;
}

const std::vector<ScreenManifest>& FrontEndScreenManifest() {
    static const std::vector<ScreenManifest> screens = Build();
    return screens;
}

std::vector<u32> ManifestGumpIds() {
    std::vector<u32> ids;
    for (const ScreenManifest& screen : FrontEndScreenManifest()) {
        ids.push_back(screen.panel);
        for (const ManifestChild& c : screen.children)
            ids.insert(ids.end(), c.ids.begin(), c.ids.end());
        for (const ScreenManifest::Extra& e : screen.extras)
            ids.push_back(e.id);
        ids.insert(ids.end(), screen.figures.begin(), screen.figures.end());
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}
