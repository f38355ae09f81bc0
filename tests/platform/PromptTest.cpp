// The recording prompt: scripted answers, defaults and the exact texts shown.
#include <gtest/gtest.h>

#include "platform/Prompt.h"
#include "support/RecordingPrompt.h"

namespace {

using namespace MsgBoxStyle;

TEST(RecordingPrompt, AnswersInOrderAndRecordsWhatWasShown) {
    ScopedRecordingPrompt prompt;
    prompt->answer(MsgResult::Cancel);
    EXPECT_EQ(Prompt::instance().msgBox("Chiudere?", vbOKCancel | vbQuestion | vbDefaultButton2, "Titolo"),
              MsgResult::Cancel);
    const auto& s = prompt->last();
    EXPECT_EQ(s.text, "Chiudere?");
    EXPECT_EQ(s.title, "Titolo");
    EXPECT_EQ(s.buttons(), vbOKCancel);
    EXPECT_EQ(s.icon(), vbQuestion);
    EXPECT_EQ(s.defaultButton(), 2);
}

TEST(RecordingPrompt, WithoutAnswersTakesTheDefaultButtonOrCancels) {
    ScopedRecordingPrompt prompt;
    EXPECT_EQ(Prompt::instance().msgBox("?", vbYesNo | vbDefaultButton2), MsgResult::No);
    EXPECT_EQ(Prompt::instance().msgBox("?", vbYesNo), MsgResult::Yes);
    EXPECT_EQ(Prompt::instance().msgBox("!", vbExclamation), MsgResult::OK);
    QString value = "x";
    EXPECT_FALSE(Prompt::instance().inputBox("Nome", "", "", value));
    EXPECT_TRUE(value.isEmpty());
    EXPECT_TRUE(Prompt::instance().folder("Cartella", "/").isEmpty());
    EXPECT_EQ(prompt->shown().size(), 5u);
}

TEST(RecordingPrompt, InputAndPathAnswers) {
    ScopedRecordingPrompt prompt;
    prompt->answerText("Mario");
    prompt->answerPath("/tmp/lavoro");
    QString v;
    EXPECT_TRUE(Prompt::instance().inputBox("Nome?", "T", "", v));
    EXPECT_EQ(v, "Mario");
    EXPECT_EQ(Prompt::instance().folder("Cartella di lavoro", "/"), "/tmp/lavoro");
    EXPECT_EQ(prompt->texts().first(), "Nome?");
}

TEST(RecordingPrompt, ScopeRestoresThePreviousService) {
    Prompt* before = &Prompt::instance();
    {
        ScopedRecordingPrompt prompt;
        EXPECT_NE(&Prompt::instance(), before);
    }
    EXPECT_EQ(&Prompt::instance(), before);
}

}  // namespace
