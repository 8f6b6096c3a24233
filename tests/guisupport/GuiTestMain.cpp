// Entry of the GUI test programs: a headless QApplication around GoogleTest.

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/QtEnvironment.h"

int main(int argc, char** argv)
{
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking", 0);
  PrepareQtEnvironment();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
