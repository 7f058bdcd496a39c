// Conversion between the program's Windows-1252 texts and Qt's QString, used
// only at the Qt boundary. Bytes without a character in the code page keep
// their value (U+0081...), so every byte string survives a round trip;
// characters outside the code page become "?" (the Greek mu becomes the
// micro sign 0xB5, its usual stand-in).
#pragma once

#include <QString>

#include <string>

namespace tsm::gui {

QString FromCp1252(const std::string& text);
std::string ToCp1252(const QString& text);
// Whether every character of the text has a byte in the code page.
bool FitsCp1252(const QString& text);

}  // namespace tsm::gui
