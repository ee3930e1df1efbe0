// The two fonts the frame creates and every panel shares for the whole run.
#pragma once

class QFont;

namespace t7
{

// "MS sans Serif", bold, 11 points: captions and labels.
const QFont &boldFont();
// "System", normal weight, 11 points: the auto-test list.
const QFont &normalFont();

} // namespace t7
