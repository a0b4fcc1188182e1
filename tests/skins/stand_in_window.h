#pragma once

// A stand-in for the main window, for judging skins: the same kinds of controls with the same
// object names, places, sizes, fonts and colours, built here because the skins must not depend
// on the window's code. It has no behaviour.

#include <QWidget>

#include <memory>

namespace quarnel::testing {

inline constexpr QSize standInClientSize{429, 420};

[[nodiscard]] std::unique_ptr<QWidget> makeStandInMainWindow();

} // namespace quarnel::testing
