#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(QtEnvironment, BrowserSandboxIsOffForRootAndContextsAreShared)
{
  EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
  if (::geteuid() == 0) {
    EXPECT_NE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray());
  }
}
