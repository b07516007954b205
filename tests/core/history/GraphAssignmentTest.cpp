// Curves on the axes from the key's states, captions, cursor channel choices,
// the alarm lines of a channel's limits in the settings' colours, and the
// lanes of the stacked graph.

#include <cmath>
#include <limits>
#include "ResultsFixture.h"
#include "history/GraphAssignment.h"
#include "history/StackedLanes.h"
#include "settings/SettingsRecord.h"

using namespace zk7;

namespace {

// Ch1 (U1) .. Ch5 (U5); limits 1 and 3 on for every channel.
CResultsFileBuilder FiveChannels() {
  CResultsFileBuilder b(5, CResultsFileBuilder::MakeXml({"inputchan", "inputchan", "inputchan", "calcchan", "numchan"}, "T",
                                                        "<limit number=\"2\" onoff=\"on\" level=\"high\" value=\"28.5\"/>"
                                                        "<limit number=\"4\" onoff=\"on\" level=\"low\" value=\"-3\"/>"
                                                        "<limit number=\"3\" onoff=\"off\" level=\"low\" value=\"7\"/>"));
  b.AddRecords(3, 5, 1767225600u, 1, [](int, int) { return sRawSample{}; });
  return b;
}

struct GraphAssignment : CResultsTest {
  CZK7Doc& m_doc = Opened(FiveChannels());
};

TEST_F(GraphAssignment, CurvesAxesCaptionsChoicesAndAlarmLines) {
  // A new window: every channel ticked on Y1.
  std::vector<sChannelState> a;
  for (int c = 0; c < 5; ++c) a.push_back({c, true, SCALE_Y1});
  sGraphAssignment g = AssignPlots(m_doc, a);
  EXPECT_EQ(g.aPlotPlace, (std::vector<int>(5, PLOT_Y1)));
  EXPECT_EQ(std::tuple(g.nXChannel, g.nY1Count, g.strY1Caption), std::tuple(-1, 5, std::string())) << "units differ";
  EXPECT_EQ(g.aChoiceTexts, (std::vector<std::string>{"001", "002", "003", "004", "005"}));

  a[0].bChecked = false;
  a[1].nScale = a[4].nScale = SCALE_Y2;
  a[2].nScale = SCALE_X;
  g = AssignPlots(m_doc, a);
  EXPECT_EQ(g.aPlotPlace, (std::vector<int>{PLOT_HIDDEN, PLOT_Y2, PLOT_IS_X, PLOT_Y1, PLOT_Y2}));
  // One channel: name and unit.
  EXPECT_EQ(std::tuple(g.nXChannel, g.strXCaption, g.nY1Count, g.strY1Caption, g.nY2Count),
            std::tuple(2, std::string("Ch3 (U3)"), 1, std::string("Ch4 (U4)"), 2));
  EXPECT_EQ(g.aChoiceTexts, (std::vector<std::string>{"002", "004", "005"}));
  EXPECT_EQ(g.aChoiceChannels, (std::vector<int>{1, 3, 4}));

  // An unticked X channel is no X channel; an empty key hides everything.
  a[2].bChecked = false;
  EXPECT_EQ(AssignPlots(m_doc, a).nXChannel, -1);
  g = AssignPlots(m_doc, {});
  EXPECT_EQ(g.aPlotPlace, (std::vector<int>(5, PLOT_HIDDEN)));
  EXPECT_TRUE(g.aChoiceTexts.empty());

  EXPECT_EQ(AxisCaption("Flow", "") + "|" + AxisCaption("", "bar"), "Flow|bar");
  EXPECT_EQ((std::vector<int>{KeepChannelChoice(2, 3), KeepChannelChoice(3, 3), KeepChannelChoice(-1, 3)}),
            (std::vector<int>{2, 0, 0}));

  // Channels of one unit: the axis shows that unit.
  CResultsFileBuilder b(3, "<fieldacq><session>");
  for (const char* psz : {"A", "B", "C"}) b.strXml += std::string("<inputchan><name>") + psz + "</name><unit>bar</unit></inputchan>";
  b.strXml += "</session></fieldacq>";
  b.aRecords.push_back({1767225600u, 0, {{}, {}, {}}});
  CZK7Doc& doc = Opened(b, "b.zk");
  g = AssignPlots(doc, {{0, true, SCALE_Y2}, {1, true, SCALE_Y2}, {2, true, SCALE_Y1}});
  EXPECT_EQ(g.strY2Caption + "|" + g.strY1Caption, "bar|C (bar)") << "the common unit";

  // Alarm lines in the settings' colours.
  sSettingsRecord settings;
  auto lines = GetAlarmLines(m_doc, -1, settings);
  for (const sAlarmLine& l : lines) EXPECT_FALSE(l.bShown) << "no key row selected";
  lines = GetAlarmLines(m_doc, 3, settings);
  // Limit 3 is off.
  EXPECT_EQ((std::vector<bool>{lines[0].bShown, lines[1].bShown, lines[2].bShown, lines[3].bShown}),
            (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(std::pair(lines[1].dValue, lines[3].dValue), std::pair(28.5, -3.0));
  // ColorAlarm1, 2 and 4: blue, dark red, yellow.
  EXPECT_EQ((std::vector<uint32_t>{lines[0].nColour, lines[1].nColour, lines[3].nColour}),
            (std::vector<uint32_t>{0x800000u, 0x000080u, 0x00FFFFu}));
  settings.m_aDisplayColours[4] = 0x123456;
  EXPECT_EQ(GetAlarmLines(m_doc, 3, settings)[3].nColour, 0x123456u);
}

} // namespace

TEST(StackedLanes, LanesFollowTheDisplayedChannelsWithFittedRanges) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  struct sCase { const char* pszName; std::vector<sLaneChannel> aIn; std::vector<sStackedLane> aOut; };
  const sCase CASES[] = {
      {"none displayed", {{0, false, true, 0, 1}}, {}},
      {"one channel fills the plot, 5 % room", {{2, true, true, 0, 100}}, {{2, 0, 1, -5, 105}}},
      {"hidden channel leaves no lane, order kept", {{0, true, true, -10, 10}, {1, false, true, 0, 1}, {3, true, true, 1, 3}},
       {{0, 0, 0.5, -11, 11}, {3, 0.5, 0.5, 0.9, 3.1}}},
      {"flat channel centred", {{0, true, true, 20, 20}}, {{0, 0, 1, 19, 21}}},
      {"flat large value: 5 % of it", {{0, true, true, 1000, 1000}}, {{0, 0, 1, 950, 1050}}},
      {"no values: unit range", {{0, true, false, 0, 0}}, {{0, 0, 1, 0, 1}}},
      {"non-finite bounds: unit range", {{0, true, true, NaN, 5}}, {{0, 0, 1, 0, 1}}},
      {"three equal lanes", {{0, true, true, 0, 1}, {1, true, true, 0, 1}, {2, true, true, 0, 1}},
       {{0, 0, 1.0 / 3, -0.05, 1.05}, {1, 1.0 / 3, 1.0 / 3, -0.05, 1.05}, {2, 2.0 / 3, 1.0 / 3, -0.05, 1.05}}}};
  for (const sCase& c : CASES) {
    SCOPED_TRACE(c.pszName);
    const std::vector<sStackedLane> aLanes = StackedLanes(c.aIn);
    ASSERT_EQ(aLanes.size(), c.aOut.size());
    for (size_t i = 0; i < aLanes.size(); ++i) {
      const sStackedLane &l = aLanes[i], &e = c.aOut[i];
      EXPECT_TRUE(l.nChannel == e.nChannel && std::fabs(l.dTop - e.dTop) < 1e-12 && std::fabs(l.dHeight - e.dHeight) < 1e-12 &&
                  std::fabs(l.dMin - e.dMin) < 1e-9 && std::fabs(l.dMax - e.dMax) < 1e-9)
          << i << ": " << l.nChannel << " " << l.dTop << " " << l.dHeight << " " << l.dMin << " " << l.dMax;
    }
  }
}
