// The one help handler of the process.
#include "ui/HelpRequest.h"

#include <utility>

namespace zk7 {

namespace {
std::function<void(unsigned)>& Handler() {
  static std::function<void(unsigned)> s_fnHandler;
  return s_fnHandler;
}
} // namespace

void RequestHelp(unsigned nContext) {
  if (Handler())
    Handler()(nContext);
}

void SetHelpHandler(std::function<void(unsigned)> fnHandler) { Handler() = std::move(fnHandler); }

} // namespace zk7
