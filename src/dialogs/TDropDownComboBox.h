#pragma once
// A combo box that tells before its list drops down, so the owner can fill
// the list at that moment.

#include <QComboBox>
#include <functional>

class TDropDownComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit TDropDownComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}

  std::function<void()> OnDropDown;

  void showPopup() override
  {
    if (OnDropDown) OnDropDown();
    QComboBox::showPopup();
  }
};
