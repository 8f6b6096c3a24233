// The HTML conversion dialog: its defaults, the case choices and the list of
// singleton tags it hands the convertor.

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "dialogs/TConvertHTMLDialog.h"

namespace {

QRadioButton* RadioItem(QGroupBox* group, int index)
{
  return group->findChildren<QRadioButton*>().value(index);
}

TEST(ConvertHTMLDialogTest, DefaultsCheckEverySingleton)
{
  TConvertHTMLDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Convert HTML to XML");
  EXPECT_EQ(dialog.GetTagCase(), 0);
  EXPECT_EQ(dialog.GetAttrCase(), 0);
  EXPECT_TRUE(dialog.GetFixAttributes());
  EXPECT_TRUE(dialog.GetFixMismatch());
  EXPECT_EQ(dialog.GetSingletons(),
            std::vector<std::string>(
                {"p", "img", "br", "hr", "li", "input", "meta", "isindex", "base", "link", "area", "dt", "dd"}));
  QStringList captions;
  for (QRadioButton* item : dialog.TagCaseRadio->findChildren<QRadioButton*>()) captions << item->text();
  EXPECT_EQ(captions, QStringList({"to lower case", "to upper case", "ignore"}));
}

TEST(ConvertHTMLDialogTest, CaseChoicesAreItemIndexes)
{
  TConvertHTMLDialog dialog;
  RadioItem(dialog.TagCaseRadio, 2)->click();
  RadioItem(dialog.AttrCaseRadio, 1)->click();
  dialog.FixAttributesCheck->setChecked(false);
  EXPECT_EQ(dialog.GetTagCase(), 2);
  EXPECT_EQ(dialog.GetAttrCase(), 1);
  EXPECT_FALSE(dialog.GetFixAttributes());
  EXPECT_TRUE(dialog.GetFixMismatch());
}

TEST(ConvertHTMLDialogTest, SingletonsAreOneListRefilledByEachCall)
{
  TConvertHTMLDialog dialog;
  const std::vector<std::string>& first = dialog.GetSingletons();
  for (int i = 0; i < dialog.SingletonCheckListBox->count(); ++i)
    dialog.SingletonCheckListBox->item(i)->setCheckState(i == 2 || i == 12 ? Qt::Checked : Qt::Unchecked);
  const std::vector<std::string>& second = dialog.GetSingletons();
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(second, std::vector<std::string>({"br", "dd"}));

  dialog.SingletonCheckListBox->item(2)->setCheckState(Qt::Unchecked);
  dialog.SingletonCheckListBox->item(12)->setCheckState(Qt::Unchecked);
  EXPECT_TRUE(dialog.GetSingletons().empty());
}

}  // namespace
