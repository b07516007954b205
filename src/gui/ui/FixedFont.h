// The fixed-pitch font of the record and log lists.
#pragma once
#include <QFont>

namespace zk7 {

// The system's fixed font when it really is fixed-pitch; otherwise the first
// fixed-pitch face installed among the usual ones (some monospace families
// the system may prefer declare proportional metrics).
QFont FixedPitchFont();

} // namespace zk7
