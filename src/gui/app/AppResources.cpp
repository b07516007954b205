// Registration of the bundled files.
#include "app/AppResources.h"

#include <QtGlobal>

// At global scope: the macro declares the resource's initialiser in the enclosing namespace.
static void InitZk7Resource() {
  Q_INIT_RESOURCE(zk7);
  Q_INIT_RESOURCE(ToolBarIcons);
}

namespace zk7 {

void InitAppResources() {
  static const bool s_bDone = (InitZk7Resource(), true);
  (void)s_bDone;
}

} // namespace zk7
