#pragma once
// The controls library's dark skin: a night-sky look for every dialog whose
// plain-style flag is clear.
#include <QColor>
#include <QString>

class QFont;

namespace skin {

QString DialogStyleSheet(const QFont& font);
// COLORREF values are 0x00BBGGRR
QColor FromColorRef(unsigned colorRef);

}  // namespace skin
