// zk7-cli plot: the history window's graph as a PNG, SVG or PDF file, drawn
// without a display.
#pragma once

namespace zk7 {

int RunPlot(int argc, char** argv);

} // namespace zk7
