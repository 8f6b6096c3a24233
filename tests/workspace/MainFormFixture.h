#pragma once
// Starts the program as it starts for a user, in a temporary program folder
// holding a copy of data/: modules, forms, the main window shown (FormShow).

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "docking/TPageControl.h"
#include "editor/TEditFrame.h"
#include "resource/ProgramFile.h"
#include "workspace/ProgramStartup.h"
#include "workspace/TMainForm.h"

class MainFormFixture : public ::testing::Test {
protected:
  std::string Folder;  // the program folder, ending with "/"
  std::unique_ptr<TScriptedPrompter> Prompts;
  bool Started = false;

  void SetUp() override
  {
    Folder = MakeTempFolder("xmlplivek-mainform");
    std::filesystem::copy(std::string(TEST_SOURCE_ROOT) + "/data", Folder,
                          std::filesystem::copy_options::recursive);
    SetProgramFileName(Folder + "xmlplivek");
    Prompts = std::make_unique<TScriptedPrompter>();
  }

  void TearDown() override
  {
    Stop();
    Prompts.reset();
    SetProgramFileName("");
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // Program start-up with these command-line arguments; returns the window.
  TMainForm& Start(const QStringList& arguments = {})
  {
    std::vector<std::string> bytes;
    for (const QString& argument : arguments) bytes.push_back(argument.toLocal8Bit().toStdString());
    return StartWithBytes(bytes);
  }
  // The same with arguments given as the bytes the process receives.
  TMainForm& StartWithBytes(const std::vector<std::string>& arguments)
  {
    StartModules();
    CreateForms(&arguments);
    MainForm->StartFolder = Folder;
    Started = true;
    ShowMainForm();
    return *MainForm;
  }

  void Stop()
  {
    if (!Started) return;
    Started = false;
    DestroyForms();
    StopModules();
  }

  TMainForm& Form() { return *MainForm; }

  std::string Write(const std::string& name, const std::string& bytes)
  {
    WriteTestFile(Folder + name, bytes);
    return Folder + name;
  }

  // Makes the window active and gives the editor of frame the focus.
  void FocusEditor(TEditFrame& frame)
  {
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    if (TPageControl* pages = frame.HostPageControl()) pages->SetActivePage(pages->IndexOfFrame(&frame));
    frame.SynEdit->setFocus();
    QApplication::processEvents();
  }

  TEditFrame* EditFrameAt(int index) { return qobject_cast<TEditFrame*>(Form().GetFrame(index)); }

  // Opens the document name (written with bytes first) as XML and gives its
  // editor the focus.
  TEditFrame& OpenXml(const std::string& name, const std::string& bytes)
  {
    TEditFrame* frame = Form().NewEditFrame("xml", TURL("file:" + Write(name, bytes)), false);
    FocusEditor(*frame);
    return *frame;
  }

  // Keys where the focus is, as the window system delivers them.
  static void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
  {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
};
