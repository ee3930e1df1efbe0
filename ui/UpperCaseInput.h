// Edits that take letters in upper case only, however they arrive (typed,
// pasted, dropped).
#pragma once

class QLineEdit;

namespace t7
{

void makeUpperCase(QLineEdit *edit);

} // namespace t7
