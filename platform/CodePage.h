#pragma once
// The system's 8-bit code page is CP932 (Japanese Windows), so that files
// written by the Windows product read correctly here.
#include <QByteArray>
#include <QString>

namespace platform {

// Bytes that are not CP932 become U+FFFD each; decoding never stops early.
QString FromCodePage(const QByteArray& bytes);

// Characters CP932 cannot hold become "?", as Windows writes its default character.
QByteArray ToCodePage(const QString& text);

}  // namespace platform
