#pragma once
// A key-capture field: pressing any key, with or without Shift, Ctrl and Alt,
// records it as a key code of the configuration (Windows virtual-key code in
// the low byte, Shift 0x2000, Ctrl 0x4000, Alt 0x8000). Tab, Esc, Enter and
// Backspace (and Delete) are recorded like any other key; modifier keys alone
// record nothing. The field shows the key's text, "None" for no key. A clear
// button inside the field, also offered by its context menu, removes the key.

#include <QLineEdit>
#include <functional>

#include "model/KeyText.h"

class QAction;

class THotKey : public QLineEdit {
  Q_OBJECT
public:
  explicit THotKey(QWidget* parent = nullptr);

  TShortCut HotKey() const { return FHotKey; }
  // Sets the key without raising OnChange.
  void SetHotKey(TShortCut key);

  // Removes the recorded key, raising OnChange when there was one (the clear
  // button).
  void Clear();

  // Raised when the user changed the recorded key.
  std::function<void()> OnChange;

protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void ShowKey();
  void ChangeTo(TShortCut key);
  TShortCut FHotKey = 0;
  QAction* FClearAction;
};
