#include "workspace/TSplashScreen.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

TSplashScreen* SplashScreen = nullptr;

TSplashScreen::TSplashScreen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
  setObjectName("SplashScreen");
  setWindowTitle("XML:Plivek");
  setFixedSize(PictureWidth, PictureHeight);
  setModal(false);
  CenterOnScreen();
}

void TSplashScreen::CenterOnScreen()
{
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect area = screen->availableGeometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void TSplashScreen::paintEvent(QPaintEvent*)
{
  // The product picture: a sheet of markup on a blue ground, and the name.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient ground(0, 0, 0, height());
  ground.setColorAt(0, QColor(0x1F, 0x3A, 0x68));
  ground.setColorAt(1, QColor(0x5B, 0x86, 0xC5));
  painter.fillRect(rect(), ground);

  QRectF sheet(78, 48, 200, 180);
  painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
  painter.setBrush(QColor(0xFA, 0xFA, 0xF2));
  painter.drawRoundedRect(sheet, 8, 8);

  QFont code("Monospace");
  code.setStyleHint(QFont::TypeWriter);
  code.setPixelSize(15);
  painter.setFont(code);
  const char* lines[] = {"<?xml version=\"1.0\"?>", "<doc>", "  <title>", "    Plivek", "  </title>", "</doc>"};
  const QColor colours[] = {QColor(0x80, 0x80, 0x80), QColor(0x00, 0x33, 0xAA), QColor(0x00, 0x33, 0xAA),
                            QColor(0x20, 0x20, 0x20), QColor(0x00, 0x33, 0xAA), QColor(0x00, 0x33, 0xAA)};
  for (int i = 0; i < 6; ++i) {
    painter.setPen(colours[i]);
    painter.drawText(QPointF(sheet.left() + 12, sheet.top() + 30 + i * 25), lines[i]);
  }

  QFont title("Sans Serif");
  title.setPixelSize(40);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 240, width(), 60), Qt::AlignCenter, "XML:Plivek");
  QFont small("Sans Serif");
  small.setPixelSize(13);
  painter.setFont(small);
  painter.drawText(QRect(0, 296, width(), 30), Qt::AlignCenter, "XML editor");
}
