#pragma once
// Watches for the progress window of long work while a test runs a command:
// once it shows, look (when given) sees it and its Cancel button is clicked.
// Seen() tells whether it showed at all.

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>

class TProgressWatch {
public:
  explicit TProgressWatch(std::function<void(QDialog&)> look = nullptr, bool cancel = true)
      : FLook(std::move(look)), FCancel(cancel)
  {
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
    FTimer.start(10);
  }

  bool Seen() const { return FSeen; }
  bool Cancelled() const { return FCancelled; }

private:
  void Poll()
  {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(widget);
      if (!dialog || dialog->objectName() != "WorkProgressDialog" || !dialog->isVisible()) continue;
      FSeen = true;
      if (FCancelled) return;
      if (FLook) FLook(*dialog);
      if (!FCancel) return;
      auto* button = dialog->findChild<QPushButton*>("CancelButton");
      if (!button) return;
      FCancelled = true;
      button->click();
      return;
    }
  }

  QTimer FTimer;
  std::function<void(QDialog&)> FLook;
  bool FCancel;
  bool FSeen = false;
  bool FCancelled = false;
};
