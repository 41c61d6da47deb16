#include "ui/web/engine_start.h"

#include <QCoreApplication>

namespace trelvik {

void PrepareWebEngine() {
#ifdef TRELVIK_SHARE_GL_AT_START
  // The engine needs a shared OpenGL context, and where Qt's hook for adding
  // one later does not link (see web_view.cpp) only this attribute makes it.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
}

}  // namespace trelvik
