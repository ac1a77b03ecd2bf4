#include "client/gumps/frontend/mult_choice_gump.h"

#include <algorithm>
#include <cctype>

#include "client/data/fonts.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_drawing.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/frontend/front_end_screens.h"

const QuestionRecord kQuestionTable[kQuestionCount] = {
    {"Do you wish to create a new character?", {"Yes", "No", "Maybe", ""}},
    {"How many llamas do you see?", {"One", "Two", "Three", "Eighty-Six"}},
};

namespace {

constexpr int kWidth = 320;
constexpr int kPanelArt = 5120;
constexpr int kQuestionFont = 2;
constexpr int kAnswerFont = 1;

int LineHeight() {
    int w = 0, h = 0, b = 0;
    GetFontTable().MeasureText(kAnswerFont, "Aq", w, h, b);
    return h + 2;
}

int QuestionHeight(int q, int wrap) {
    int widest = 0, h = 0, b = 0;
    GetFontTable().MeasureWrappedText(kQuestionFont, kQuestionTable[q].question, wrap, widest, h, b,
                                      0);
    return h;
}

CMultChoiceGump* Self(CGump* gump) {
    return static_cast<CMultChoiceGump*>(gump);
}

}  // namespace

CMultChoiceGump::CMultChoiceGump(int firstQuestion, int lastQuestion, std::vector<int>* buffer,
                                 CGump* listenerGump)
    : result(buffer), listener(listenerGump) {
    kindLabel = "MultChoice gump";
    // The range is kept to the table and to the answers' room.
    first = std::clamp(firstQuestion, 0, kQuestionCount - 1);
    last = std::clamp(lastQuestion, first, std::min(kQuestionCount, first + kMaxQuestions) - 1);
    current = first;
    answers.fill(-1);
    const int line = LineHeight();
    int h = 3 * line + 20;
    for (int q = first; q <= last; ++q)
        h += QuestionHeight(q, 280) + 2 + line + (kQuestionTable[q].answers[2][0] != 0 ? line : 0);
    width = pitch = kWidth;
    height = h;
    PlaceAt(160, 240 - h / 2);
    Bitmap16& frame = MakeFrame(0);
    DrawGumpArtPanel(kPanelArt, frame, false);
    clip_ = {20, 10, width - 20, height - 10};
    CFontTable& fonts = GetFontTable();
    const TextTarget target{frame.Pixels(), width, height};
    int y = 10;
    for (int q = first; q <= last; ++q) {
        Row row;
        row.y = y;
        int qw = 0, qh = 0, qb = 0;
        fonts.MeasureWrappedText(kQuestionFont, kQuestionTable[q].question, width - 40, qw, qh, qb,
                                 0);
        fonts.DrawWrappedText(20, y, kQuestionFont, 25, kQuestionTable[q].question, width - 40,
                              target, clip_, 0, 0);
        y += qh + 2;
        for (int a = 0; a < AnswerCount(q); ++a) {
            row.answerX[a] = a % 2 == 0 ? 55 : 175;
            row.answerY[a] = a < 2 ? y : y + line;
            int aw = 0, ah = 0, ab = 0;
            fonts.MeasureText(kAnswerFont, kQuestionTable[q].answers[a], aw, ah, ab);
            auto* area =
                Add<CButtonGump>(row.answerX[a], row.answerY[a],
                                 row.answerX[a] + std::max(aw, 1) - 1, row.answerY[a] + line - 1,
                                 this, CButtonGump::kPush, 0, &CMultChoiceGump::PickAnswer, 0);
            area->value = q * 10 + a;
            area->storeValue = true;
        }
        y += line;
        if (AnswerCount(q) > 2) y += line;
        y += 5;
        rows_.push_back(row);
    }
    DrawQuestion(-1);
    DrawMarker();
    TheGumpDesktop().SetKeyboardFocus(this);
    Add<CButtonGump>(26, height - 40, this, CButtonGump::kPush, 0, &CMultChoiceGump::Cancel, 5035,
                     5036, 0);
    Add<CButtonGump>(160, height - 40, this, CButtonGump::kPush, 0, &CMultChoiceGump::Ok, 5033,
                     5034, 0);
}

int CMultChoiceGump::AnswerCount(int q) const {
    const QuestionRecord& r = kQuestionTable[q];
    if (r.answers[2][0] == 0) return 2;
    return r.answers[3][0] == 0 ? 3 : 4;
}

void CMultChoiceGump::DrawQuestion(int q) {
    Bitmap16& frame = *Frame(0);
    const TextTarget target{frame.Pixels(), width, height};
    CFontTable& fonts = GetFontTable();
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(kAnswerFont, "Aq", w, h, baseline);
    for (int k = first; k <= last; ++k) {
        if (q != -1 && q != k) continue;
        const Row& row = rows_[static_cast<size_t>(k - first)];
        for (int a = 0; a < AnswerCount(k); ++a) {
            const int x = row.answerX[a], y = row.answerY[a] + baseline;
            fonts.DrawText(x, y, kAnswerFont, Answer(k) == a ? 14 : 0, kQuestionTable[k].answers[a],
                           target, clip_);
            // The answer's key, underlined.
            fonts.DrawText(x, y, kAnswerFont, 946, "_", target, clip_);
        }
    }
}

void CMultChoiceGump::DrawMarker() {
    Bitmap16& frame = *Frame(0);
    // The old marker goes: the pixels saved under it come back.
    for (int y = markerRect_.top; y < markerRect_.bottom; ++y)
        std::copy_n(
            underMarker_.begin() + (y - markerRect_.top) * (markerRect_.right - markerRect_.left),
            markerRect_.right - markerRect_.left, frame.Pixels() + y * width + markerRect_.left);
    CFontTable& fonts = GetFontTable();
    int w = 0, h = 0, baseline = 0;
    fonts.MeasureText(kAnswerFont, "Aq", w, h, baseline);
    const int top = rows_[static_cast<size_t>(current - first)].y;
    // The 30 x 30 place the marker may cover, kept within the frame.
    markerRect_ = ClipToSize({8, top + 2, 38, top + 32}, width, height);
    underMarker_.clear();
    for (int y = markerRect_.top; y < markerRect_.bottom; ++y)
        underMarker_.insert(underMarker_.end(), frame.Pixels() + y * width + markerRect_.left,
                            frame.Pixels() + y * width + markerRect_.right);
    fonts.DrawText(8, top + 5 + baseline, kAnswerFont, 8, "*", {frame.Pixels(), width, height},
                   markerRect_);
}

void CMultChoiceGump::Choose(int q, int answer) {
    answers[static_cast<size_t>(q - first)] = answer;
    DrawQuestion(q);
}

void CMultChoiceGump::OnKey(u32 key) {
    const int count = last - first + 1;
    auto next = [&] { current = first + (current - first + 1) % count; };
    if (key == 9) {
        next();
        DrawMarker();
        return;
    }
    if (key == 13) return Ok(this);
    if (key == 27) return Cancel(this);
    if (key == ' ') {
        int a = Answer(current) + 1;
        if (a > 3 || a >= AnswerCount(current)) a = 0;
        Choose(current, a);
        return;
    }
    if (key > 0xFF) return;
    const int c = std::toupper(static_cast<int>(key));
    for (int a = 0; a < AnswerCount(current); ++a) {
        if (std::toupper(static_cast<unsigned char>(kQuestionTable[current].answers[a][0])) != c)
            continue;
        if (Answer(current) == a) return;
        Choose(current, a);
        next();
        DrawMarker();
        return;
    }
}

void CMultChoiceGump::PickAnswer(CGump* gump) {
    CMultChoiceGump* self = Self(gump);
    const int v = self->resultValue;
    if (v / 10 < self->first || v / 10 > self->last) return;
    self->Choose(v / 10, v % 10);
    TheGumpDesktop().SetKeyboardFocus(self);
}

void CMultChoiceGump::Report(const std::vector<int>& values) {
    if (result != nullptr) {
        *result = values;
        if (listener != nullptr && IsGumpAlive(listener)) listener->OnAnswers(*result);
    }
    TheGumpDesktop().Close(this);
}

void CMultChoiceGump::Ok(CGump* gump) {
    CMultChoiceGump* self = Self(gump);
    std::vector<int> values;
    for (int q = self->first; q <= self->last; ++q) {
        if (self->Answer(q) < 0) {
            ShowFrontEndNotice("You must answer all questions.", nullptr, 0, false);
            return;
        }
        values.push_back(self->Answer(q));
    }
    self->Report(values);
}

void CMultChoiceGump::Cancel(CGump* gump) {
    CMultChoiceGump* self = Self(gump);
    self->Report(std::vector<int>(static_cast<size_t>(self->last - self->first + 1), -1));
}

void CMultChoiceGump::OnLeftDown(int, int) {
    BringToFront(false);
}

void CMultChoiceGump::OnLeftUp(int, int) {
    ReleaseCapture();
}

void CMultChoiceGump::OnRightUp(int, int) {
    ReleaseCapture();
}

void CMultChoiceGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
}
