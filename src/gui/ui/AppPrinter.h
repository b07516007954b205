// The application's printer: one set of printer and page settings shared by
// "Print Setup..." and every print run.
#pragma once

class QPrinter;

namespace zk7 {

QPrinter& GetAppPrinter();

} // namespace zk7
