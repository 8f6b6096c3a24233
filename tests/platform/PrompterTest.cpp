#include <gtest/gtest.h>

#include "ScriptedPrompter.h"

TEST(Prompter, InstalledPrompterAnswersUntilRemoved)
{
  {
    TScriptedPrompter scripted;
    scripted.Answers.push_back(TPrompter::TAnswer::No);
    EXPECT_EQ(&Prompter(), &scripted);
    EXPECT_EQ(Prompter().MessageDlg("Save?", TPrompter::TIcon::Question, TPrompter::TButtons::YesNoCancel),
              TPrompter::TAnswer::No);
    EXPECT_EQ(Prompter().MessageDlg("Again?", TPrompter::TIcon::Question, TPrompter::TButtons::YesNoCancel),
              TPrompter::TAnswer::Cancel);
    Prompter().ShowMessage("done");
    EXPECT_EQ(scripted.Messages, (QStringList{"Save?", "Again?", "done"}));
  }
  TScriptedPrompter other;
  EXPECT_EQ(&Prompter(), &other);
}
