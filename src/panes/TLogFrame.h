#pragma once
// The log pane: shows the messages of the application log and lets the user
// choose which of the levels 3 ("Error"), 4 ("Normal") and 5 ("Detail") are
// recorded; levels 1 and 2 are always on. The memo is read-only and keeps the
// most recent MaxLines lines, each cut to MaxLineLength characters (the log
// file keeps the whole message).

#include <cstdint>
#include <memory>
#include <string>

#include "docking/TFrame.h"

class QCheckBox;
class QPlainTextEdit;
class TzevLog;
namespace Ui {
class TLogFrame;
}

class TLogFrame : public TFrame {
  Q_OBJECT
public:
  static constexpr int MaxLines = 10000;
  // The characters of one line shown at most: the memo's time for a line
  // grows with the square of its length.
  static constexpr int MaxLineLength = 10000;

  explicit TLogFrame(QWidget* parent = nullptr);
  ~TLogFrame() override;

  // The form's widgets (owned by the frame).
  QPlainTextEdit* Memo;
  QCheckBox* ErrorCheckBox;
  QCheckBox* NormalCheckBox;
  QCheckBox* DetailCheckBox;

  // Points the log's OnLog and OnLevelsChange at this pane; the pane takes
  // them back when it is destroyed, so that nothing logged afterwards reaches
  // a freed pane. The check boxes act on this log (the application log while
  // none is connected).
  void ConnectLog(TzevLog& log);
  void DisconnectLog();

  // The log's OnLog: adds the message as new last lines of the memo.
  void LogMessage(TzevLog& sender, std::uint8_t level, const std::string& msg);
  // The log's OnLevelsChange: the boxes follow the log's levels.
  void LevelsChanged(TzevLog& sender);
  // Click of any of the three boxes: the log's levels become {1, 2} plus the
  // levels of the checked boxes.
  void ErrorCheckBoxClick();

  // Names the tab or the floating window "Log".
  void FrameEndDock(QWidget* target) override;

private:
  TzevLog& Log() const;

  std::unique_ptr<Ui::TLogFrame> FUi;
  bool Updating = false;     // true while the pane itself changes the levels
  TzevLog* FLog = nullptr;   // the connected log
};
