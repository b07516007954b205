// The zk7 program: the application object does everything.
#include <cstdio>
#include <cstring>

#include "app/ZK7App.h"

int main(int argc, char** argv) {
  // Answered before the application object exists: no display is needed for it.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zk7 %s\n", ZK7_VERSION);
    return 0;
  }
  zk7::CZK7App app(argc, argv);
  return app.Run();
}
