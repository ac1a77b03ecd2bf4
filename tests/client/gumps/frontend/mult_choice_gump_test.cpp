// The questionnaire: keys and clicks choose answers, OK reports them only when every question
// has one, Cancel reports -1 for each.
#include <gtest/gtest.h>

#include <vector>

#include "client/gumps/frontend/mult_choice_gump.h"
#include "golden_frame.h"
#include "tests/client/gumps/frontend/login_screens_fixture.h"

namespace {

// Records the answers it is told.
class Listener : public CGump {
public:
    void OnAnswers(const std::vector<int>& values) override { heard.push_back(values); }
    std::vector<std::vector<int>> heard;
};

class MultChoiceTest : public LoginScreensTest {
protected:
    void SetUp() override {
        LoginScreensTest::SetUp();
        const std::vector<u8>& fonts = BuiltFontAndGumpFiles().at("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        listener = TheGumpDesktop().Open<Listener>();
        gump = TheGumpDesktop().Open<CMultChoiceGump>(0, 1, &result, listener);
    }
    // The screen centre of answer `a`'s hot area of question `q`.
    CGump* AnswerArea(int q, int a) {
        for (CGump* c = gump->firstChild; c != nullptr; c = c->nextSibling)
            if (auto* button = c->As<CButtonGump>();
                button != nullptr && button->storeValue && button->value == q * 10 + a)
                return c;
        return nullptr;
    }

    std::vector<int> result;
    Listener* listener = nullptr;
    CMultChoiceGump* gump = nullptr;
};

TEST_F(MultChoiceTest, ALetterChoosesAndMovesOnSpaceStepsAndOkReports) {
    EXPECT_EQ(D().keyboardFocus, gump);
    ExpectChildrenInsideAndHittable(gump);
    EXPECT_EQ(gump->x, 160);
    EXPECT_EQ(gump->y, 240 - gump->height / 2);
    Type("m");  // "Maybe" on the first question, the marker to the second
    EXPECT_EQ(gump->Answer(0), 2);
    EXPECT_EQ(gump->current, 1);
    Type(" ");  // unanswered: answer 0
    EXPECT_EQ(gump->Answer(1), 0);
    Type("   ");  // 1, 2, 3
    EXPECT_EQ(gump->Answer(1), 3);
    Type(" ");  // past 3: back to 0
    EXPECT_EQ(gump->Answer(1), 0);
    Type("\t ");  // to the first question: "Maybe" steps past the last answer to 0
    EXPECT_EQ(gump->Answer(0), 0);
    EXPECT_TRUE(
        MatchesGolden("questionnaire", gump->Frame(0)->Pixels(), gump->width, gump->height));
    Type("\r");
    ASSERT_EQ(listener->heard.size(), 1u);
    EXPECT_EQ(listener->heard[0], (std::vector<int>{0, 0}));
    EXPECT_EQ(result, (std::vector<int>{0, 0}));
    EXPECT_EQ(D().keyboardFocus, nullptr);
}

TEST_F(MultChoiceTest, OkWithAnUnansweredQuestionSaysSoAndStays) {
    ClickOn(AnswerArea(1, 3));  // "Eighty-Six"
    EXPECT_EQ(gump->Answer(1), 3);
    EXPECT_EQ(D().keyboardFocus, gump);
    ClickOn(ButtonWithArt(gump, 5033));
    EXPECT_EQ(NoticeText(), "You must answer all questions.");
    EXPECT_TRUE(listener->heard.empty());
    DeleteCurrentFrontEndNotice();
    ClickOn(AnswerArea(0, 1));
    ClickOn(ButtonWithArt(gump, 5033));
    ASSERT_EQ(listener->heard.size(), 1u);
    EXPECT_EQ(listener->heard[0], (std::vector<int>{1, 3}));
}

TEST_F(MultChoiceTest, CancelAndEscapeReportMinusOneForEveryQuestion) {
    Type("y");
    Type("\x1b");
    ASSERT_EQ(listener->heard.size(), 1u);
    EXPECT_EQ(listener->heard[0], (std::vector<int>{-1, -1}));
    gump = TheGumpDesktop().Open<CMultChoiceGump>(1, 1, &result, listener);
    ClickOn(ButtonWithArt(gump, 5035));
    ASSERT_EQ(listener->heard.size(), 2u);
    EXPECT_EQ(listener->heard[1], (std::vector<int>{-1}));
}

TEST_F(MultChoiceTest, TheMarkerLeavesNothingBehindWhenItMoves) {
    const u16* f = gump->Frame(0)->Pixels();
    const std::vector<u16> first(f, f + gump->width * gump->height);
    Type("\t");
    Type("\t");  // back on the first question: the frame is as it was
    EXPECT_TRUE(std::vector<u16>(f, f + gump->width * gump->height) == first);
}

}  // namespace
