// The two floating tool bars of a results-file window ("Cursors", "Scales"):
// created hidden, shown and hidden by their commands, hidden while the window
// is not the active one, and the glue between their controls and the graph.
#pragma once
#include <QObject>
#include <QPointer>

namespace zk7 {

class CCursorsToolBar;
class CHistFrame;
class CHistGraph;
class CScalesToolBar;
struct sCommandState;

class CHistToolBars : public QObject {
  Q_OBJECT
public:
  CHistToolBars(CHistFrame& frame, CHistGraph* pGraph);
  ~CHistToolBars() override;

  CCursorsToolBar* GetCursorsBar() const { return m_pCursors; }
  CScalesToolBar* GetScalesBar() const { return m_pScales; }

  // The frame's values into both bars.
  void Fill();
  // Commands ID_CURSORS_TOOLS and ID_SCALES_TOOLS: toggle the bar.
  bool OnUpdateCommand(unsigned nId, sCommandState& state) const;
  bool OnCommand(unsigned nId);
  // Deactivation remembers and hides the visible bars; activation brings them back.
  void OnActivateFrame(bool bActive);

private:
  void Place(QWidget* pBar, bool bRight);
  void Connect();

  CHistFrame& m_frame;
  QPointer<CHistGraph> m_pGraph;
  CCursorsToolBar* m_pCursors;
  CScalesToolBar* m_pScales;
  bool m_aPlaced[2] = {false, false};
};

} // namespace zk7
