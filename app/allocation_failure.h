#pragma once

// A failed memory allocation ends the program through the fatal-error box, with the number of
// bytes asked for: "分配 N 字节内存失败!".
//
// This library replaces the global operators new and delete with malloc/free based ones. They
// behave as the standard ones do (std::bad_alloc without a new_handler) and only remember the
// size asked for, which a new_handler is otherwise never told. Link it into the program alone,
// and call installAllocationFailureHandler() first thing in main().
//
// Limits: memory that Qt's containers take with malloc() does not pass through operator new, so
// its failure stays Qt's own (std::bad_alloc). On a thread other than the GUI thread the
// message goes to stderr instead of a box. If showing the box needs memory that is not there,
// the process ends with -1 at once.

namespace quarnel {

void installAllocationFailureHandler();

} // namespace quarnel
