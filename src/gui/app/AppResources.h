// The files bundled into the program: the manual, the icon and the file-type
// registration texts.
#pragma once

namespace zk7 {

// Registers the bundled files (":/share/..."); a static library's resources are
// not registered on their own. Safe to call more than once.
void InitAppResources();

} // namespace zk7
