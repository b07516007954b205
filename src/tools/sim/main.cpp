// zk7-sim: a ZK7 module on the desk, serving a folder as its storage devices.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

#include "SimConnection.h"
#include "SimModule.h"
#include "SimOptions.h"

int main(int argc, char** argv) {
  using namespace zk7;
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zk7-sim %s\n", ZK7_VERSION);
    return 0;
  }
  sSimOptions options;
  std::string strError;
  if (!ParseSimOptions(argc, argv, options, strError)) {
    std::cerr << "zk7-sim: " << strError << "\n" << SimUsage();
    return 2;
  }
  // A client that goes away mid-reply must not end the simulator.
  signal(SIGPIPE, SIG_IGN);

  int nListen = socket(AF_INET, SOCK_STREAM, 0);
  int nOne = 1;
  setsockopt(nListen, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(options.nPort));
  if (inet_pton(AF_INET, options.strHost.c_str(), &addr.sin_addr) != 1) {
    std::cerr << "zk7-sim: '" << options.strHost << "' is not an IPv4 address\n";
    return 2;
  }
  if (bind(nListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(nListen, 16) != 0) {
    std::cerr << "zk7-sim: cannot listen on " << options.strHost << ":" << options.nPort << ": "
              << std::strerror(errno) << "\n";
    return 1;
  }
  socklen_t nLen = sizeof addr;
  getsockname(nListen, reinterpret_cast<sockaddr*>(&addr), &nLen);
  std::printf("listening on %s:%d\n", options.strHost.c_str(), ntohs(addr.sin_port));
  std::fflush(stdout);

  CSimModule module(options);
  for (;;) {
    int nClient = accept(nListen, nullptr, nullptr);
    if (nClient < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      std::cerr << "zk7-sim: accept failed: " << std::strerror(errno) << "\n";
      return 1;
    }
    setsockopt(nClient, IPPROTO_TCP, TCP_NODELAY, &nOne, sizeof nOne);
    // Each connection is one session, served on its own thread.
    std::thread([&module, nClient] {
      CSimConnection connection(module, nClient);
      connection.Run();
    }).detach();
  }
}
