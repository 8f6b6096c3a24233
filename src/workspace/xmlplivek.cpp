// Program entry of the editor.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "platform/QtEnvironment.h"

int main(int argc, char* argv[])
{
  PrepareQtEnvironment();
  QApplication app(argc, argv);
  QApplication::setApplicationName("XML Plivek");
  QMainWindow window;
  window.setWindowTitle("XML Plivek");
  auto* label = new QLabel("The editor is not built yet.", &window);
  label->setAlignment(Qt::AlignCenter);
  window.setCentralWidget(label);
  window.resize(640, 400);
  window.show();
  return app.exec();
}
