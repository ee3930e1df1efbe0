// Panels keep their logs and transcripts with CR LF line ends; a plain-text
// view breaks lines at LF alone and would show each CR as a stray mark.
#pragma once

#include <QString>

class QPlainTextEdit;

namespace t7
{

enum class ShowFrom { Top, End };

// Shows text (CR LF line ends) in view, scrolled to its top or its end.
void showCrLfText(QPlainTextEdit *view, const QString &text, ShowFrom from = ShowFrom::Top);

} // namespace t7
