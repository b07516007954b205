// zk7-cli stats: the statistics of channels over a range of records.
#pragma once

namespace zk7 {

int RunStats(int argc, char** argv);

} // namespace zk7
