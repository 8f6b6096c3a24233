#pragma once
// The item list of an editable combo box, for callers that replace the list
// while the box keeps the text typed or chosen in it. Changing the list
// leaves that text as it is and raises none of the box's signals.

#include <QString>

class QComboBox;

class TComboItems {
public:
  explicit TComboItems(QComboBox& combo) : FCombo(combo) {}
  void Clear();
  void Add(const QString& item);
  int Count() const;
  QString Get(int index) const;

private:
  QComboBox& FCombo;
};
