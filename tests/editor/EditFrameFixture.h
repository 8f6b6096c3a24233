#pragma once
// An editor frame docked in a shown page control, a temporary folder for
// documents and working copies (also the program folder), a scripted
// prompter and a clock the test moves.

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "docking/TPageControl.h"
#include "editor/TEditFrame.h"
#include "model/TConfigInfo.h"
#include "resource/ProgramFile.h"
#include "resource/TURL.h"

class EditFrameFixture : public ::testing::Test {
protected:
  std::string Folder;  // ends with "/"
  std::unique_ptr<TScriptedPrompter> Prompts;
  std::unique_ptr<TPageControl> Pages;
  TEditFrame* Frame = nullptr;  // owned by Pages
  double Clock = 45000.0;       // days

  void SetUp() override
  {
    Folder = MakeTempFolder("xmlplivek-editframe");
    SetProgramFileName(Folder + "program/xmlplivek");
    std::filesystem::create_directory(Folder + "program");
    TEditFrame::SetClock([this] { return Clock; });
    Prompts = std::make_unique<TScriptedPrompter>();
    Pages = std::make_unique<TPageControl>();
    Pages->resize(600, 400);
    Frame = AddFrame();
    Pages->show();
    QApplication::processEvents();
  }

  void TearDown() override
  {
    Pages.reset();
    Prompts.reset();
    TEditFrame::SetClock(nullptr);
    SetProgramFileName("");
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  TEditFrame* AddFrame()
  {
    auto* frame = new TEditFrame;
    Pages->DockFrame(frame, "frame");
    return frame;
  }

  std::string ProgramFolderPath() const { return Folder + "program/"; }

  std::string Write(const std::string& name, const std::string& bytes)
  {
    WriteTestFile(Folder + name, bytes);
    return Folder + name;
  }

  static TURL Local(const std::string& path) { return TURL::CreateNative(path); }

  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  // The editor's own text (UTF-8), as it holds it.
  std::string EditorBytes(TEditFrame& frame) const
  {
    long size = frame.SynEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto* text =
        static_cast<const char*>(frame.SynEdit->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return std::string(text, static_cast<std::size_t>(size));
  }

  long Caret() const { return Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS); }
  long Anchor() const { return Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETANCHOR); }
  void GoTo(long pos) const { Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, pos); }

  // A configuration with the given editor bindings only.
  static TConfigInfo ConfigWith(std::initializer_list<std::tuple<TShortCut, TShortCut, const char*>> bindings)
  {
    TConfigInfo config;
    config.GutterVisible = true;
    config.GutterLineNumbers = true;
    config.TabWidth = 8;
    config.RightEdgeColumn = 80;
    config.BackgroundColor = clWhite;
    for (const auto& [key, key2, command] : bindings) {
      TShortcutItem& item = config.AddShortcut();
      item.Key = key;
      item.Key2 = key2;
      item.Command = command;
    }
    return config;
  }
};
