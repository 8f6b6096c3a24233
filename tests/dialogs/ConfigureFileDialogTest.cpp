// The document-type editing dialog: id filter, previewer groups, browse.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpontaneKeyEvent>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "dialogs/TConfigureFileDialog.h"

namespace {

// Shows the dialog modally and closes it with OK at once.
void ShowAndAccept(TConfigureFileDialog& dialog)
{
  QTimer::singleShot(0, &dialog, [&dialog] { dialog.OKBtn->click(); });
  ASSERT_EQ(dialog.exec(), QDialog::Accepted);
}

}  // namespace

TEST(ConfigureFileDialog, FormAndInitialState)
{
  TConfigureFileDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Configure File Dialog");
  EXPECT_EQ(dialog.minimumSize(), QSize(315, 270));
  for (const char* name : {"IDEdit", "TitleEdit", "MimeTypeEdit", "FilterEdit", "HighlighterCombo",
                           "AutoCompleteCheck", "FilenameLabel", "NewFilenameEdit", "HelpEdit", "PreviewRadio11",
                           "PreviewRadio23", "PreviewRadio33", "Preview1Edit", "Preview3Edit", "Browse1Btn",
                           "Browse2Btn", "Browse3Btn", "OKBtn", "CancelBtn"})
    EXPECT_NE(dialog.findChild<QWidget*>(name), nullptr) << name;
  EXPECT_EQ(dialog.FilenameLabel->text(), "----------------");
  EXPECT_EQ(dialog.NewFilenameEdit->text(), "new");
  EXPECT_EQ(dialog.GetPreview1(), "*");
  EXPECT_EQ(dialog.GetPreview2(), "");
  EXPECT_EQ(dialog.GetPreview3(), "");
  EXPECT_EQ(dialog.Browse3Btn->property("tag").toInt(), 3);
  QStringList pages;
  for (int i = 0; i < dialog.PageControl->count(); ++i) pages << dialog.PageControl->tabText(i);
  EXPECT_EQ(pages, QStringList({"General", "New and Help", "Pre-viewers"}));
}

TEST(ConfigureFileDialog, IdIsLoweredAndFilteredOnlyWhenReadBack)
{
  TConfigureFileDialog dialog;
  const std::pair<const char*, const char*> cases[] = {
      {"My-Type 2", "mytype2"}, {"XSL", "xsl"}, {"a_b.c", "a_bc"}, {"???", ""}, {"", ""}};
  for (const auto& [typed, id] : cases) {
    dialog.SetID(typed);
    EXPECT_EQ(dialog.IDEdit->text(), typed);
    EXPECT_EQ(dialog.GetID(), id) << typed;
  }
}

TEST(ConfigureFileDialog, DefinitionFilePathIsShownAndReadBackAsSet)
{
  TConfigureFileDialog dialog;
  dialog.SetHighlighter("HTML");  // any text, not only the three of the list
  EXPECT_EQ(dialog.GetHighlighter(), "HTML");
  dialog.SetConfigFile("/p/help/xml/xml.config");
  EXPECT_EQ(dialog.GetConfigFile(), "/p/help/xml/xml.config");
  EXPECT_EQ(dialog.FilenameLabel->text(), "/p/help/xml/xml.config");
  dialog.SetConfigFile("");
  EXPECT_EQ(dialog.FilenameLabel->text(), "----------------");
}

// A definition file written elsewhere may hold bytes that are no text in the
// local encoding: what is shown and not changed comes back as it was.
TEST(ConfigureFileDialog, ValuesThatAreNoLocalTextComeBackUnchanged)
{
  const std::string latin = "Fran\xE7" "ais";
  TConfigureFileDialog dialog;
  dialog.SetID("fr\xE7");
  dialog.SetTitle(latin);
  dialog.SetMimeType("text/" + latin);
  dialog.SetFilter("*." + latin);
  dialog.SetHighlighter(latin);
  dialog.SetNewFileName("new." + latin);
  dialog.SetHelpFile(latin + ".html");
  dialog.SetPreview3("\"/opt/" + latin + "\" \"%1\"");
  ShowAndAccept(dialog);
  EXPECT_EQ(dialog.GetID(), "fr");
  EXPECT_EQ(dialog.GetTitle(), latin);
  EXPECT_EQ(dialog.GetMimeType(), "text/" + latin);
  EXPECT_EQ(dialog.GetFilter(), "*." + latin);
  EXPECT_EQ(dialog.GetHighlighter(), latin);
  EXPECT_EQ(dialog.GetNewFileName(), "new." + latin);
  EXPECT_EQ(dialog.GetHelpFile(), latin + ".html");
  EXPECT_EQ(dialog.GetPreview3(), "\"/opt/" + latin + "\" \"%1\"");
  // A changed text is the text.
  dialog.TitleEdit->setText(QString::fromUtf8("Fran\xC3\xA7" "ais"));
  EXPECT_EQ(dialog.GetTitle(), "Fran\xC3\xA7" "ais");
}

TEST(ConfigureFileDialog, PreviewerValuesPickTheirRadioButton)
{
  TConfigureFileDialog dialog;
  dialog.SetPreview2("*");
  EXPECT_TRUE(dialog.PreviewRadio22->isChecked());
  EXPECT_EQ(dialog.GetPreview2(), "*");
  EXPECT_TRUE(dialog.Preview2Edit->text().isEmpty());
  EXPECT_FALSE(dialog.Preview2Edit->isEnabled());
  EXPECT_FALSE(dialog.Browse2Btn->isEnabled());

  const std::string command = "\"/opt/my browser/run\" \"%1\"";
  dialog.SetPreview1(command);
  dialog.SetPreview3("");
  ShowAndAccept(dialog);
  EXPECT_TRUE(dialog.PreviewRadio13->isChecked());
  EXPECT_EQ(dialog.GetPreview1(), command);
  EXPECT_TRUE(dialog.Preview1Edit->isEnabled());
  EXPECT_TRUE(dialog.Browse1Btn->isEnabled());
  EXPECT_TRUE(dialog.PreviewRadio31->isChecked());
  EXPECT_FALSE(dialog.Preview3Edit->isEnabled());

  // Disabled after a command empties nothing but reads as disabled.
  dialog.PreviewRadio11->click();
  EXPECT_EQ(dialog.GetPreview1(), "");
  EXPECT_FALSE(dialog.Preview1Edit->isEnabled());
  EXPECT_FALSE(dialog.Browse1Btn->isEnabled());
  dialog.PreviewRadio13->click();
  EXPECT_EQ(dialog.GetPreview1(), command);
}

TEST(ConfigureFileDialog, CommandWithAnEmptyEditReadsAsDisabled)
{
  TConfigureFileDialog dialog;
  dialog.SetPreview3("*");
  dialog.PreviewRadio33->click();
  EXPECT_TRUE(dialog.Preview3Edit->isEnabled());
  EXPECT_EQ(dialog.GetPreview3(), "");
}

TEST(ConfigureFileDialog, BrowseQuotesTheProgramAndThePlaceholder)
{
  TScriptedPrompter prompts;
  TConfigureFileDialog dialog;
  dialog.SetPreview2("old command");
  prompts.FileNames.push_back("/opt/My Viewer/view");
  dialog.Browse2Btn->click();
  EXPECT_EQ(dialog.GetPreview2(), "\"/opt/My Viewer/view\" \"%1\"");
  EXPECT_EQ(prompts.Messages, QStringList({"Choose Pre-viewer  "}));

  // Cancelled: nothing changes, not even the radio buttons.
  dialog.SetPreview1("*");
  dialog.Preview1Edit->setText("kept");
  dialog.Browse1BtnClick(dialog.Browse1Btn);
  EXPECT_EQ(dialog.Preview1Edit->text(), "kept");
  EXPECT_TRUE(dialog.PreviewRadio12->isChecked());

  // A chosen program leaves the radio buttons alone too.
  prompts.FileNames.push_back("/bin/cat");
  dialog.Browse1BtnClick(dialog.Browse1Btn);
  EXPECT_EQ(dialog.Preview1Edit->text(), "\"/bin/cat\" \"%1\"");
  EXPECT_EQ(dialog.GetPreview1(), "*");

  // The file dialog gives a name that is no local text (a Latin-1 name) with
  // U+FFFD in place of its bytes: the command still names that program.
  const std::string folder = MakeTempFolder() + "outils\xE9/";
  std::filesystem::create_directory(folder);
  WriteTestFile(folder + "aper\xE7u", "");
  prompts.FileNames.push_back(QString::fromLocal8Bit((folder + "aper\xE7u").c_str()));
  dialog.Browse2Btn->click();
  EXPECT_EQ(dialog.GetPreview2(), "\"" + folder + "aper\xE7u\" \"%1\"");
  std::filesystem::remove_all(folder + "..");
}

TEST(ConfigureFileDialog, AlwaysOpensOnTheGeneralPage)
{
  TConfigureFileDialog dialog;
  for (int page : {2, 1}) {
    dialog.PageControl->setCurrentIndex(page);
    ShowAndAccept(dialog);
    EXPECT_EQ(dialog.PageControl->currentIndex(), 0);
  }
}

TEST(ConfigureFileDialog, RestoringTheWindowKeepsThePage)
{
  TConfigureFileDialog dialog;
  dialog.show();
  dialog.PageControl->setCurrentIndex(2);
  // The window system shows the window again (its minimised owner restored).
  QShowEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  QApplication::instance()->notify(&dialog, &event);  // sendEvent would clear the flag
  EXPECT_EQ(dialog.PageControl->currentIndex(), 2);
}
