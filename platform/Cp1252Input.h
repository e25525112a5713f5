// Text fields whose text is saved in Windows-1252: they take only characters the code page holds,
// however they come in (typed, pasted, dropped), so that what the field shows is what is saved.
// A character refused leaves the text as it was, without a message; of a pasted text the
// characters the code page holds are kept.
#pragma once

#include <QString>

class QLineEdit;

namespace velmoran {

// Lets the edit take only characters Windows-1252 holds.
void KeepToCp1252(QLineEdit& edit);

// The text without the characters Windows-1252 cannot hold; `cursor`, a position in the text,
// moves back by those removed before it.
QString OnlyCp1252(const QString& text, int& cursor);

}  // namespace velmoran
