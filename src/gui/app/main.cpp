// The zk7 program: the application object does everything.
#include "app/ZK7App.h"

int main(int argc, char** argv) {
  zk7::CZK7App app(argc, argv);
  return app.Run();
}
