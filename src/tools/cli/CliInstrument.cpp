#include "CliInstrument.h"

#include <cstring>

namespace zk7 {

bool IsInstrumentCommand(const char*) { return false; }
int RunInstrumentCommand(int, char**) { return 2; }
const char* InstrumentUsage() { return ""; }

} // namespace zk7
