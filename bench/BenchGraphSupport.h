// The graph benchmarks' common step: every channel of a document drawn whole
// on a graph control, as the window's first view draws it.
#pragma once
#include <QString>

#include "history/GraphPoints.h"
#include "history/graph/GraphControl.h"
#include "results/ZK7Doc.h"
#include "settings/SettingsRecord.h"

namespace zk7 {

// Adds one plot per channel in its colour, hands over the points, shows their
// whole time range, scales Y1 and draws. dMin and dMax receive that range.
inline void ShowWholeGraph(CGraphControl& control, const CZK7Doc& doc, const CGraphPoints& pts, double& dMin,
                           double& dMax) {
  for (int c = 0; c < doc.GetChannelCount(); ++c)
    control.AddPlot(QString::fromLatin1(doc.GetChannelName(c)), ColourFromRef(GetDisplayColour(GetChannelColourIndex(c))));
  control.SetPoints(&pts);
  pts.GetXRange(dMin, dMax);
  control.SetAxisRange(CGraphControl::AXIS_X, dMin, dMax);
  control.RescaleNow(CGraphControl::AXIS_Y1);
  control.replot();
}

} // namespace zk7
