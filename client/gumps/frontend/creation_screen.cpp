#include "client/gumps/frontend/creation_screen.h"

#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/frontend/press_slider_track.h"

void DeleteCreationScreens() {
    CGumpDesktop& d = TheGumpDesktop();
    for (CGump** slot :
         {&d.charStatGump, &d.cityChoiceGump, &d.charCreationGump, &d.initialSkillGump}) {
        auto* screen = static_cast<CCreationScreen*>(*slot);
        if (screen == nullptr) continue;
        screen->DeletePictures();
        d.Close(screen);  // clears the slot
    }
}

void CCreationScreen::SetShown(bool shown) {
    visible = shown;
    ShowPictures(shown);
}

void CCreationScreen::ShowPictures(bool shown) {
    for (CDumbGump* picture : pictures)
        if (picture != nullptr) picture->visible = shown;
}

void CCreationScreen::DeletePictures() {
    for (CDumbGump*& picture : pictures) {
        TheGumpDesktop().Close(picture);
        picture = nullptr;
    }
}

void CCreationScreen::RaisePictures() {
    for (CDumbGump* picture : pictures)
        if (picture != nullptr) picture->BringToFront(false);
}

int CCreationScreen::SliderIndex(const CGump* thumb) const {
    const std::vector<CThumbGump*> sliders = Sliders();
    for (size_t i = 0; i < sliders.size(); ++i)
        if (sliders[i] == thumb) return static_cast<int>(i);
    return -1;
}

bool CCreationScreen::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CCreationScreen::OnLeftDown(int px, int py) {
    LocalToScreen(px, py);
    for (CThumbGump* thumb : Sliders())
        if (PressSliderTrack(thumb, px, py)) return;
    pressed = true;
    grabX = px;
    grabY = py;
}

void CCreationScreen::OnLeftUp(int, int) {
    pressed = false;
    ReleaseCapture();
}

void CCreationScreen::OnRightUp(int, int) {
    ReleaseCapture();
}

void CCreationScreen::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
