#pragma once
// The configuration dialog over a temporary program folder: three document
// types in "help/" (xml and xsl in "xml/", css in "css/"), a configuration
// with a few bindings, a scripted prompter and a font chooser the test
// answers.

#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "dialogs/TConfigDialog.h"
#include "dialogs/TConfigureFileDialog.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "resource/ProgramFile.h"

class ConfigDialogFixture : public ::testing::Test {
protected:
  std::string Folder;  // the program folder, ending with "/"
  std::unique_ptr<TScriptedPrompter> Prompts;
  std::unique_ptr<TConfigDialog> Dialog;
  std::unique_ptr<TConfigureFileDialog> FileDialog;
  std::optional<TConfigFont> ChosenFont;  // the font dialog's answer; none: cancelled

  void SetUp() override
  {
    Folder = MakeTempFolder("xmlplivek-configdialog");
    SetProgramFileName(Folder + "xmlplivek");
    WriteType("xml/xml.config", "xml", "XML Files", 0);
    WriteType("xml/xsl.config", "xsl", "XSL Stylesheets", 1);
    WriteType("css/css.config", "css", "CSS Files", 2);
    CreateFileTypes();
    LoadFileTypes();
    ASSERT_EQ(FileTypes().Count(), 3);

    TConfigInfo& config = ConfigInfo();
    config = TConfigInfo();
    config.GutterVisible = true;
    config.GutterLineNumbers = true;
    config.GutterColor = clBtnFace;
    config.BackgroundColor = clWhite;
    config.RightEdgeColor = clSilver;
    config.SelectedColor = clHighlightText;
    config.SelectedBackground = RGBColor(1, 2, 3);  // no name: kept as it is
    config.TabWidth = 4;
    config.RightEdgeColumn = 100;
    AddBinding(ShortCut(vk::Letter('N'), scCtrl), 0, "pvFileNew");
    AddBinding(ShortCut(vk::Letter('K'), scCtrl), ShortCut(vk::Digit(1)), "ecSetMarker1");
    AddBinding(ShortCut(vk::F(1)), 0, "ecContextHelp");

    Prompts = std::make_unique<TScriptedPrompter>();
    TConfigDialog::SetFontChooser([this](QWidget*, TConfigFont& font, bool) {
      if (!ChosenFont) return false;
      font = *ChosenFont;
      return true;
    });
    Dialog = std::make_unique<TConfigDialog>();
    FileDialog = std::make_unique<TConfigureFileDialog>();
    Dialog->FileTypeDialog = FileDialog.get();
  }

  void TearDown() override
  {
    Dialog.reset();
    FileDialog.reset();
    TConfigDialog::SetFontChooser(nullptr);
    Prompts.reset();
    ConfigInfo() = TConfigInfo();
    FreeFileTypes();
    SetProgramFileName("");
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  void WriteType(const std::string& path, const std::string& id, const std::string& title, int index)
  {
    std::filesystem::create_directories(std::filesystem::path(Folder + "help/" + path).parent_path());
    TFileType type(Folder + "help/" + path);
    type.Id = id;
    type.Title = title;
    type.Filter = "*." + id;
    type.Index = index;
    type.SaveToFile();
  }

  static void AddBinding(TShortCut key, TShortCut key2, const std::string& command)
  {
    TShortcutItem& item = ConfigInfo().AddShortcut();
    item.Key = key;
    item.Key2 = key2;
    item.Command = command;
  }

  // Shows the dialog modally, runs action inside it, then clicks OK or Cancel.
  int Run(const std::function<void()>& action, bool ok = true)
  {
    QTimer::singleShot(0, Dialog.get(), [this, action, ok] {
      if (action) action();
      (ok ? Dialog->OKBtn : Dialog->CancelBtn)->click();
    });
    return Dialog->exec();
  }

  // Answers the next showing of the document-type editing dialog.
  void AnswerFileDialog(const std::function<void(TConfigureFileDialog&)>& answer, bool ok = true)
  {
    QTimer::singleShot(0, FileDialog.get(), [this, answer, ok] {
      if (answer) answer(*FileDialog);
      (ok ? FileDialog->OKBtn : FileDialog->CancelBtn)->click();
    });
  }

  std::string KeyText(int row, int column) const
  {
    QTableWidgetItem* cell = Dialog->KeyListView->item(row, column);
    return cell ? cell->text().toStdString() : std::string("<none>");
  }

  std::vector<std::string> TypeIds() const
  {
    std::vector<std::string> ids;
    for (int i = 0; i < FileTypes().Count(); ++i) ids.push_back(FileTypes().GetFileType(i).Id);
    return ids;
  }

  std::string Definition(const std::string& path) const { return ReadTestFile(Folder + "help/" + path); }
};
