// zk7-cli log: a log file's lines as the log window copies them.
#pragma once

namespace zk7 {

int RunLog(int argc, char** argv);

} // namespace zk7
