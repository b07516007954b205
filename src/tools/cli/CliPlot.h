// zk7-cli plot: the history window's graph as a PNG, SVG or PDF file, drawn
// without a display.
#pragma once

namespace zk7 {

// Whether this build carries the plot command (it needs the window code).
bool HasPlotCommand();
int RunPlot(int argc, char** argv);

} // namespace zk7
