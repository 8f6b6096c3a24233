#include "dialogs/TImageList.h"

#include <QTreeWidget>
#include <QVariant>

namespace {

const char* const kImagesProperty = "Images";

}  // namespace

void SetTreeImages(QTreeWidget& tree, TImageList* images)
{
  tree.setProperty(kImagesProperty, QVariant::fromValue<QObject*>(images));
}

TImageList* TreeImages(const QTreeWidget& tree)
{
  return qobject_cast<TImageList*>(tree.property(kImagesProperty).value<QObject*>());
}
