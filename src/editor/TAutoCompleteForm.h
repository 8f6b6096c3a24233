#pragma once
// The pick list that autocompletion shows at the caret: entities, child
// elements or attributes. The caller fills the list, sets the caption and
// calls Execute, which shows the pop-up, lets the user narrow the choice by
// typing and returns the text to insert with the caret position inside it.
//
// Items are insert texts in the editor's UTF-8: one "|" in an item marks
// where the caret goes after insertion.
//
// Keys while it runs: arrows and page keys move the selection; Enter or a
// double click accepts the selected item; Escape, a click elsewhere or the
// application losing focus cancels; any other character is added to the
// typed text and selects the first item beginning with it (letter case
// ignored); when none does, the pop-up closes and the typed text itself is
// accepted. Backspace takes back the last typed character. The shortcut of a
// command of the window (Ctrl+S) cancels, and the key goes on to the widget
// that had the focus, which runs the command. Keys that reach
// the pop-up after it closed (typed ahead, queued for it) go on to the widget
// that had the focus before it, in their order, once Execute has returned.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QKeyEvent;
class QFrame;
class QListWidget;
namespace Ui {
class TAutoCompleteForm;
}

// Removes the first "|" from text and returns the number of characters before
// it; without one the text stays and the result is its length.
int ExtractCaretMarker(std::string& text);

class TAutoCompleteForm : public QWidget {
  Q_OBJECT
public:
  // The items of the list box, as UTF-8.
  class TItems {
  public:
    explicit TItems(QListWidget* list) : FList(list) {}
    // Replaces the items (the selection goes with them).
    void Assign(const std::vector<std::string>& items);
    void Clear();
    void Add(const std::string& item);
    int Count() const;
    std::string Get(int index) const;

  private:
    QListWidget* FList;
  };

  explicit TAutoCompleteForm(QWidget* parent = nullptr);
  ~TAutoCompleteForm() override;

  // The form's widgets (owned by the form).
  QFrame* Panel;
  QListWidget* ListBox;

  std::string FText;       // typed text while running, then the accepted text
  bool FRunning = false;   // the pop-up's event loop runs while set
  bool FCancelled = false; // Escape or loss of activation

  void SetListCaption(const std::string& caption);
  TItems& GetItems() { return FItems; }
  // Selects the first item beginning with text (letter case ignored);
  // false, selection unchanged, when none does.
  bool SelectPrefix(const std::string& text);
  // Shows the pop-up with its top left corner at the screen point (x, y) and
  // runs until it closes. True: accepted, text is what to insert and offset
  // where the caret goes within it. False: cancelled, text and offset as they
  // were. Backspace over the opening character accepts the empty text.
  bool Execute(int x, int y, int& offset, std::string& text);

  // The keyboard rules for one typed character (Enter 13, Escape 27,
  // Backspace 8, Tab 9, or a printable character in UTF-8).
  void FormKeyPress(const std::string& key);
  void ListBoxDblClick();
  void FormDeactivate();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  bool FormKeyDown(const QKeyEvent& event);
  void Stop();
  void PassOnLateKeys();
  std::string SelectedText() const;

  std::unique_ptr<Ui::TAutoCompleteForm> FUi;
  TItems FItems{nullptr};
  QEventLoop* FLoop = nullptr;
  bool FExecuting = false;
  QPointer<QWidget> FKeyTarget;  // had the focus when the pop-up opened
  std::vector<std::unique_ptr<QKeyEvent>> FLateKeys;
};

// The one pop-up (created at start-up with the other forms).
extern TAutoCompleteForm* AutoCompleteForm;
