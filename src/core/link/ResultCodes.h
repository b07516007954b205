// The result codes of the link's operations: 0 for success, else a failure
// whose text the link keeps.
#pragma once

namespace zk7 {

enum : int {
  ZK7_OK = 0,
  ZK7_ERR_SOCKET = 1,
  ZK7_ERR_SEND = 2,
  ZK7_ERR_RECEIVE = 4,
  ZK7_ERR_RESPONSE = 5,
  ZK7_ERR_REFUSED = 6,
  ZK7_ERR_EMPTY_KEY = 8,
  ZK7_ERR_NO_LENGTH = 10,
  ZK7_ERR_BLOCK_SIZE = 12,
  ZK7_ERR_NO_CONFIG = 13,
  ZK7_ERR_NO_FILE = 15,
  ZK7_ERR_BLOCK_REFUSED = 16,
  ZK7_ERR_NO_MEMORY = 17,
  ZK7_ERR_LOCAL_FILE = 18,
  ZK7_ERR_CANCELLED = 19,  // the user stopped the operation ("Transfer cancelled")
};

constexpr const char* ZK7_MSG_CANCELLED = "Transfer cancelled";

} // namespace zk7
