#pragma once

#include "ui/control_table.h"

namespace quarnel::ui {

// The main window's definition: every control, its place and looks, in stacking order.
[[nodiscard]] const WindowDef &mainWindowDef();

} // namespace quarnel::ui
