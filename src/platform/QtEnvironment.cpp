#include "platform/QtEnvironment.h"

#include <QCoreApplication>
#include <cstdlib>
#include <unistd.h>

void PrepareQtEnvironment()
{
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
