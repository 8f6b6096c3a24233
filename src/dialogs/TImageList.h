#pragma once
// The pictures of a tree view's nodes, by index. A tree view takes its list
// through SetTreeImages; nodes read their picture from it by index.

#include <QIcon>
#include <QObject>
#include <QVector>

class QTreeWidget;

class TImageList : public QObject {
  Q_OBJECT
public:
  explicit TImageList(QObject* owner = nullptr) : QObject(owner) {}

  QVector<QIcon> Images;

  // The picture at index; an empty icon outside the list.
  QIcon Image(int index) const { return index >= 0 && index < Images.size() ? Images[index] : QIcon(); }
};

// Gives tree its image list (not owned; nullptr for none).
void SetTreeImages(QTreeWidget& tree, TImageList* images);
// The image list of tree; nullptr when it has none.
TImageList* TreeImages(const QTreeWidget& tree);
