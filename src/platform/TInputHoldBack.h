#pragma once
// Holds the user's input back while it lives (a command's work running
// through TProgressRunner): keys, the shortcuts they stand for, input-method
// text, clicks, moves and wheel turns aimed at the application's windows and
// widgets are kept instead of being delivered. When it goes, they are
// delivered in their order, from the event loop (after the command that ran
// the work has ended), to where they were aimed: a key to the control that
// had the focus, a click to the window it was made in. Input for the one
// window let through (the progress window, once it shows) passes; drags,
// touches and pens are refused meanwhile.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QEvent;

class TInputHoldBack : public QObject {
public:
  // Installs itself as the application's first event filter.
  TInputHoldBack();
  // Removes itself and has the input it holds delivered.
  ~TInputHoldBack() override;
  TInputHoldBack(const TInputHoldBack&) = delete;
  TInputHoldBack& operator=(const TInputHoldBack&) = delete;

  // Input to window and its children passes from now on.
  void LetThrough(QWidget* window) { FOpen = window; }
  // How many events it holds (for tests).
  std::size_t HeldCount() const { return FHeld.size(); }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool PassesThrough(QObject* target) const;
  void Hold(QObject* target, const QEvent& event);

  struct THeld {
    QPointer<QObject> Target;
    std::function<std::unique_ptr<QEvent>()> Make;
  };
  std::vector<THeld> FHeld;
  QPointer<QWidget> FOpen;
};
