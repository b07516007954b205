// The log window's commands, routed to the log frame.
#include "app/LogWindow.h"

#include <memory>

#include "app/CommandIds.h"
#include "app/MdiChild.h"
#include "logs/LogFrame.h"
#include "ui/CommandTarget.h"

namespace zk7 {

namespace {

class CLogCommandTarget final : public ICommandTarget {
public:
  explicit CLogCommandTarget(CLogFrame* pFrame) : m_pFrame(pFrame) {}

  bool OnUpdateCommand(unsigned nId, sCommandState& state) override {
    switch (nId) {
      case ID_EDIT_SELECT_ALL: state.m_bEnabled = true; return true;
      case ID_EDIT_COPY: state.m_bEnabled = m_pFrame->CanCopy(); return true;
      case ID_FILE_PRINT:
      case ID_FILE_PRINT_PREVIEW: state.m_bEnabled = m_pFrame->CanPrint(); return true;
      default: return false;
    }
  }

  bool OnCommand(unsigned nId) override {
    switch (nId) {
      case ID_EDIT_SELECT_ALL: m_pFrame->SelectAll(); return true;
      case ID_EDIT_COPY: m_pFrame->Copy(); return true;
      case ID_FILE_PRINT: m_pFrame->Print(); return true;
      case ID_FILE_PRINT_PREVIEW: m_pFrame->PrintPreview(); return true;
      default: return false;
    }
  }

private:
  CLogFrame* m_pFrame;
};

} // namespace

CMdiChild* CreateLogWindow(const QString& strPath, QString* pstrError) {
  CLogFrame* pFrame = CLogFrame::Create(strPath, nullptr, pstrError);
  if (!pFrame)
    return nullptr;
  auto pTarget = std::make_unique<CLogCommandTarget>(pFrame);
  ICommandTarget* pRawTarget = pTarget.get();
  auto* pChild = new CMdiChild(IDR_LOG, pFrame->GetPathName(), pFrame->GetTitle(), nullptr, pFrame, pRawTarget,
                               std::move(pTarget));
  QObject::connect(pFrame, &CLogFrame::commandStateChanged, pChild, &CMdiChild::commandStateChanged);
  return pChild;
}

} // namespace zk7
