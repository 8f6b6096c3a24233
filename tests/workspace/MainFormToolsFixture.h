#pragma once
// The main window started for the Tools commands: answers the modal dialogs,
// runs menu items and puts the process's current folder back after each test.

#include <QAction>
#include <QDialog>
#include <QTimer>
#include <Qsci/qsciscintilla.h>
#include <filesystem>
#include <functional>

#include "MainFormFixture.h"

class MainFormToolsFixture : public MainFormFixture {
protected:
  void SetUp() override
  {
    MainFormFixture::SetUp();
    SavedFolder = std::filesystem::current_path();
  }
  void TearDown() override
  {
    std::filesystem::current_path(SavedFolder);
    MainFormFixture::TearDown();
  }

  // Opens a local document of the type id in a new tab.
  TEditFrame* Open(const std::string& name, const std::string& bytes, const std::string& id = "xml")
  {
    return Form().NewEditFrame(id, TURL("file:" + Write(name, bytes)), false);
  }

  // Once dialog is shown modally: runs fill, then closes it through close
  // (by default accept). Must be called before the command that shows it.
  void WhenShown(QDialog* dialog, std::function<void()> fill, std::function<void()> close = nullptr)
  {
    auto* timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, dialog, [=] {
      if (!dialog->isVisible()) return;
      timer->stop();
      timer->deleteLater();
      if (fill) fill();
      if (close)
        close();
      else
        dialog->accept();
    });
    timer->start(10);
  }

  // Runs the menu item as the user's click does (failures are shown).
  void Run(const char* menuItem)
  {
    QAction* action = Form().Action(menuItem);
    ASSERT_NE(action, nullptr) << menuItem;
    Form().HeartbeatTimerTimer();  // the command states of the active frame
    ASSERT_TRUE(action->isEnabled()) << menuItem;
    action->trigger();
  }

  // The caret's line, 1-based.
  static int CaretLine(TEditFrame& frame)
  {
    int line = 0, index = 0;
    frame.SynEdit->getCursorPosition(&line, &index);
    return line + 1;
  }

  std::filesystem::path SavedFolder;
};
