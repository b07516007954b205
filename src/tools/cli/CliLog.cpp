#include "CliLog.h"

#include <cstdio>

#include "CliArgs.h"

namespace zk7 {

int RunLog(int, char**) {
  std::fprintf(stderr, "zk7-cli log: not available in this build\n");
  return CLI_FAILURE;
}

} // namespace zk7
