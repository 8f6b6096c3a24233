#include "dialogs/DialogHelpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace DialogHelpers {

void CentreOnScreen(QWidget& window)
{
  if (QScreen* screen = QGuiApplication::primaryScreen())
    window.move(screen->availableGeometry().center() - window.rect().center());
}

QString LocalText(const std::string& bytes)
{
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string LocalBytes(const QString& text)
{
  return text.toLocal8Bit().toStdString();
}

}  // namespace DialogHelpers
