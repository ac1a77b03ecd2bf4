#include "client/gumps/frontend/tutorial_gump.h"

#include <cstdio>

#include "client/data/pixel_format.h"
#include "client/data/tga_image.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "platform/bounded_file_read.h"

const char* const kTutorialSlides[kTutorialSlideCount] = {"tutorial\\1gen.tga",
                                                          "tutorial\\2gen.tga",
                                                          "tutorial\\3gen.tga",
                                                          "tutorial\\4gen.tga",
                                                          "tutorial\\5gen.tga",
                                                          "tutorial\\6gen.tga",
                                                          "1",
                                                          "2",
                                                          "3",
                                                          ""};

namespace {

CTutorialGump* Show(CGump* gump) {
    return static_cast<CTutorialGump*>(gump);
}

}  // namespace

std::string CTutorialGump::SlideFile(int index) {
    if (index < 0 || index >= kTutorialSlideCount) return "";
    const std::string entry = kTutorialSlides[index];
    if (entry.size() != 1) return entry;
    // The picture of a chosen skill: "1" field 1, "2" field 2, anything else field 3.
    const int field = entry == "1" ? 0 : entry == "2" ? 1 : 2;
    const auto* skills = static_cast<CInitSkillGump*>(TheGumpDesktop().initialSkillGump);
    const int skill = skills != nullptr ? skills->Skills()[static_cast<size_t>(field)] : 0;
    char name[40];
    std::snprintf(name, sizeof name, "tutorial\\skill%02d.tga", skill + 1);
    return name;
}

bool TutorialSlidesPresent() {
    return platform::CheckRegularFile(GetGumpHostServices().MakeCDPath(kTutorialSlides[0])).Read();
}

CTutorialGump::CTutorialGump(int index)
    : COutcomeScreen(0, 0, nullptr, 0, 1, kScreenWidth, kScreenHeight) {
    kindLabel = "tutorial gump";
    pitch = width;
    Bitmap16& frame = MakeFrame(0);
    u16 grey = RgbToPixel16(8, 8, 8);
    if (Use565()) grey = Convert555To565(grey);
    std::fill(frame.Pixels(), frame.Pixels() + static_cast<size_t>(width) * height, grey);
    slide = index;
    LoadSlide(slide);
    struct Area {
        int left, top, right, bottom;
        void (*callback)(CGump*);
    };
    for (const Area& a : {Area{590, 405, 633, 439, &CTutorialGump::Next},
                          Area{538, 405, 581, 439, &CTutorialGump::Previous},
                          Area{539, 446, 632, 470, &CTutorialGump::Finish}}) {
        Add<CButtonGump>(a.left, a.top, a.right, a.bottom, this, CButtonGump::kPush, 0, a.callback,
                         0);
    }
}

bool CTutorialGump::LoadSlide(int index) {
    const std::string file = SlideFile(index);
    if (file.empty()) return false;
    Bitmap16& frame = *Frame(0);
    if (LoadTgaImage(GetGumpHostServices().MakeCDPath(file), frame.Pixels(), width, height) == 0)
        return false;
    if (Use565())
        for (u16* p = frame.Pixels(); p != frame.Pixels() + static_cast<size_t>(width) * height;
             ++p)
            *p = Convert555To565(*p);
    return true;
}

void CTutorialGump::Next(CGump* gump) {
    CTutorialGump* show = Show(gump);
    // Pictures that cannot be read are passed over; the empty entry ends the show.
    while (++show->slide < kTutorialSlideCount && kTutorialSlides[show->slide][0] != 0) {
        if (show->LoadSlide(show->slide)) return;
    }
    Finish(show);
}

void CTutorialGump::Previous(CGump* gump) {
    CTutorialGump* show = Show(gump);
    while (show->slide >= 1) {
        if (show->LoadSlide(--show->slide)) return;
    }
    show->Report(ScreenOutcome::kBack);
}

void CTutorialGump::Finish(CGump* gump) {
    Show(gump)->Report(ScreenOutcome::kFinish);
}

bool CTutorialGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CTutorialGump::OnLeftDown(int, int) {
    BringToFront(false);
    pressed = true;
}

void CTutorialGump::OnLeftUp(int, int) {
    pressed = false;
    ReleaseCapture();
}

void CTutorialGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
