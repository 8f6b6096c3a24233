// The find and replace dialogs: the options their controls give, the flag of
// the clicked button while its event runs, and no event without a text.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"

TEST(FindDialogTest, OptionsFollowTheControlsAndFindNextIsFlaggedOnlyDuringTheEvent)
{
  TFindDialog dialog;
  EXPECT_EQ(dialog.Options(), frDown);
  std::vector<TFindOptions> seen;
  dialog.OnFind = [&](TFindDialog& sender) { seen.push_back(sender.Options()); };
  dialog.FindNextBtn->click();  // no text: disabled, no event
  EXPECT_FALSE(dialog.FindNextBtn->isEnabled());
  EXPECT_TRUE(seen.empty());

  dialog.SetFindText("x");
  dialog.UpRadio->setChecked(true);
  dialog.MatchCaseCheck->setChecked(true);
  dialog.FindNextBtn->click();
  dialog.DownRadio->setChecked(true);
  dialog.MatchCaseCheck->setChecked(false);
  dialog.WholeWordCheck->setChecked(true);
  dialog.Execute();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.isModal());
  QTest::keyClick(dialog.FindEdit, Qt::Key_Return);  // the default button
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], frFindNext | frMatchCase);
  EXPECT_EQ(seen[1], frFindNext | frDown | frWholeWord);
  EXPECT_EQ(dialog.Options(), frDown | frWholeWord);

  dialog.SetOptions(frMatchCase);
  EXPECT_TRUE(dialog.UpRadio->isChecked());
  EXPECT_TRUE(dialog.MatchCaseCheck->isChecked());
  EXPECT_FALSE(dialog.WholeWordCheck->isChecked());
}

TEST(ReplaceDialogTest, EachButtonRaisesItsEventWithItsFlag)
{
  TReplaceDialog dialog;
  std::vector<std::pair<char, TFindOptions>> seen;
  dialog.OnFind = [&](TReplaceDialog& sender) { seen.push_back({'f', sender.Options()}); };
  dialog.OnReplace = [&](TReplaceDialog& sender) { seen.push_back({'r', sender.Options()}); };
  for (QPushButton* button : {dialog.FindNextBtn, dialog.ReplaceBtn, dialog.ReplaceAllBtn})
    EXPECT_FALSE(button->isEnabled());

  dialog.SetFindText("a");
  dialog.SetReplaceText("b");
  dialog.MatchCaseCheck->setChecked(true);
  dialog.FindNextBtn->click();
  dialog.ReplaceBtn->click();
  dialog.WholeWordCheck->setChecked(true);
  dialog.ReplaceAllBtn->click();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], std::make_pair('f', frFindNext | frDown | frMatchCase));
  EXPECT_EQ(seen[1], std::make_pair('r', frReplace | frDown | frMatchCase));
  EXPECT_EQ(seen[2], std::make_pair('r', frReplaceAll | frDown | frMatchCase | frWholeWord));
  EXPECT_EQ(dialog.ReplaceText(), "b");

  // Without frDown it searches backwards.
  dialog.SetOptions(0);
  EXPECT_EQ(dialog.Options(), 0u);
}
