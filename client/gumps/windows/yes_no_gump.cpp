#include "client/gumps/windows/yes_no_gump.h"

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"

CYesNoGump::CYesNoGump(const std::string& question, ButtonCallback yes, ButtonCallback no,
                       int answerValue)
    : value(answerValue) {
    kindLabel = "YesNo gump";
    artId = 2070;
    GetGumpArtSize(2070, width, height);
    pitch = width;
    PlaceAt(320 - width / 2, 240 - height / 2);
    Bitmap16& frame = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, 2070, 0, 0, frame.Pixels(), width, height);
    GetFontTable().DrawWrappedText(33, 30, 1, 902, question.c_str(), 115,
                                   {frame.Pixels(), width, height}, ClipRect{33, 30, 148, 63}, 0,
                                   0);
    auto* yesButton =
        Add<CButtonGump>(100, 75, this, CButtonGump::kPush, 0, std::move(yes), 2074, 2075, 0);
    yesButton->hoverArt = 2076;
    auto* noButton =
        Add<CButtonGump>(37, 75, this, CButtonGump::kPush, 0, std::move(no), 2071, 2072, 0);
    noButton->hoverArt = 2073;
    TheGumpDesktop().modalGump = this;
}

CYesNoGump::~CYesNoGump() {
    if (TheGumpDesktop().modalGump == this) TheGumpDesktop().modalGump = nullptr;
}

bool CYesNoGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CYesNoGump::OnRightUp(int, int) {
    ReleaseCapture();
}

void CYesNoGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
