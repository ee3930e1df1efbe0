// Runs a dialog modally. Tests replace the runner so that no test waits on a
// modal dialog: they can inspect, drive and close it instead.
#pragma once

#include <functional>

class QDialog;

namespace t7
{

// dialog.exec() unless a test installed its own runner.
int runModal(QDialog &dialog);

using ModalRunner = std::function<int(QDialog &dialog)>;
// Null restores exec().
void setModalRunner(ModalRunner runner);

} // namespace t7
