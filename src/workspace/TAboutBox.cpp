#include "workspace/TAboutBox.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "ui_TAboutBox.h"

#ifndef XMLPLIVEK_VERSION
#define XMLPLIVEK_VERSION "0.0"
#endif

TAboutBox* AboutBox = nullptr;

namespace {

// The program's picture: a sheet of markup on a blue ground.
QPixmap ProgramPicture()
{
  QPixmap picture(64, 64);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x2C, 0x52, 0x8E));
  painter.drawRoundedRect(QRectF(0, 0, 64, 64), 8, 8);
  painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
  painter.setBrush(QColor(0xFA, 0xFA, 0xF2));
  painter.drawRoundedRect(QRectF(12, 8, 40, 48), 3, 3);
  QFont code("Monospace");
  code.setStyleHint(QFont::TypeWriter);
  code.setPixelSize(10);
  code.setBold(true);
  painter.setFont(code);
  painter.setPen(QColor(0x00, 0x33, 0xAA));
  painter.drawText(QRectF(12, 10, 40, 22), Qt::AlignCenter, "<x>");
  painter.setPen(QColor(0x20, 0x20, 0x20));
  painter.drawText(QRectF(12, 30, 40, 22), Qt::AlignCenter, "</x>");
  return picture;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TAboutBox>())
{
  FUi->setupUi(this);
  ProgramIcon = FUi->ProgramIcon;
  ProductName = FUi->ProductName;
  Version = FUi->Version;
  OKButton = FUi->OKButton;
  ProgramIcon->setPixmap(ProgramPicture());
  Version->setText("Version " + ProgramVersion());
}

TAboutBox::~TAboutBox() = default;

QString TAboutBox::ProgramVersion()
{
  return QStringLiteral(XMLPLIVEK_VERSION);
}
