#pragma once
// A multiple-choice questionnaire driven by keys and the mouse: each question's answers are
// hot areas, Tab moves between questions, Space steps an answer, a letter picks the answer
// starting with it, Enter is OK and Escape Cancel. OK with every question answered (or Cancel,
// with -1 for each) reports the answers to a listener gump. Nothing in the client opens one.
#include <array>
#include <string>
#include <vector>

#include "client/gumps/framework/gump.h"

struct QuestionRecord {
    const char* question;
    const char* answers[4];  // an empty answer 2 leaves two, an empty answer 3 three
};
constexpr int kQuestionCount = 2;
extern const QuestionRecord kQuestionTable[kQuestionCount];

class CMultChoiceGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kMultChoice;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kMaxQuestions = 20;

    // Questions first .. last of the table; `result` (one entry per question) and `listener`
    // hear the answers, either may be null. Centred on the screen.
    CMultChoiceGump(int first, int last, std::vector<int>* result, CGump* listener);

    static void PickAnswer(CGump*);
    static void Ok(CGump*);
    static void Cancel(CGump*);
    // Redraws the answers of question q (-1: of every question).
    void DrawQuestion(int q);
    // Moves the marker to the current question.
    void DrawMarker();
    int Answer(int q) const { return answers[static_cast<size_t>(q - first)]; }

    void OnKey(u32 key) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ClosesOnEscape() override { return false; }

    int first = 0;
    int last = 0;
    int current = 0;
    std::array<int, kMaxQuestions> answers{};
    std::vector<int>* result = nullptr;
    CGump* listener = nullptr;

private:
    struct Row {
        int y = 0;  // the question's top
        int answerX[4] = {};
        int answerY[4] = {};
    };
    int AnswerCount(int q) const;
    void Choose(int q, int answer);
    void Report(const std::vector<int>& values);

    std::vector<Row> rows_;
    ClipRect clip_{};
    // The frame's pixels under the marker, put back when it moves.
    std::vector<u16> underMarker_;
    ClipRect markerRect_{};
};
