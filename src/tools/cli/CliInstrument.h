// zk7-cli instrument commands: list, download, send-config, status, start, stop.
#pragma once

namespace zk7 {

// True when strCommand is one of the instrument commands.
bool IsInstrumentCommand(const char* pszCommand);
// Runs the command with argv[2..argc); returns the exit status.
int RunInstrumentCommand(int argc, char** argv);
// Usage lines of the instrument commands.
const char* InstrumentUsage();

} // namespace zk7
