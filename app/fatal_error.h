#pragma once

// The fatal-error box: the one way the program reports an error, after which it ends.

#include <QString>

class QMessageBox;

namespace quarnel {

// "运行时出错!\r\n\r\n", then "错误代码：<code>\r\n\r\n" for a non-zero code, then
// "错误信息：<message>\r\n" for a non-empty message.
[[nodiscard]] QString fatalErrorText(int code, const QString &message);

// Shows the box (no owner, caption "错误", error icon, one OK button) and, once it is closed,
// ends the process with exit code -1. While it is up no handler of the program runs: the box
// is application-modal, so input and close requests to other windows are refused, and an
// application-wide event filter swallows what modality lets through, the ticks of timers and
// queued calls, for every object outside the box. Nothing is unwound and no destructor runs:
// the program is in no state to clean up after itself.
//
// Without a QApplication on this thread there is no box: the text goes to stderr instead.
// A second fatal error while the box is being built or shown ends the process at once.
[[noreturn]] void showFatalError(int code, const QString &message);

// Tests only: called with the box just before it runs, so that a test can read it and close
// it. To act once the box is up, use a timer that is a child of the box (timers of every other
// object stand still).
using FatalBoxObserver = void (*)(QMessageBox &box);
void setFatalBoxObserver(FatalBoxObserver observer);

} // namespace quarnel
