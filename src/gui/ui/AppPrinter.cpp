// The shared printer object, created on first use.
#include "ui/AppPrinter.h"

#include <QPrinter>

namespace zk7 {

QPrinter& GetAppPrinter() {
  static QPrinter s_printer(QPrinter::HighResolution);
  return s_printer;
}

} // namespace zk7
