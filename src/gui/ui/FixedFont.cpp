#include "ui/FixedFont.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace zk7 {

QFont FixedPitchFont() {
  const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (QFontInfo(system).fixedPitch()) return system;
  for (const char* pszFamily : {"Liberation Mono", "DejaVu Sans Mono", "Courier New", "Nimbus Mono PS"}) {
    QFont font(QString::fromLatin1(pszFamily), system.pointSize() > 0 ? system.pointSize() : 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch()) return font;
  }
  return system;
}

} // namespace zk7
