#pragma once

#include "ui/control_table.h"

#include <QFont>
#include <QString>

class QWidget;

namespace quarnel::ui {

// Makes every control of `def` inside `window`, which must carry def.name as its objectName:
// each with its name as objectName, place, size, caption, font, colours and tab stop, combo
// boxes filled and selected, and the stacking order of the table (first on top). Controls are
// found afterwards with findChild by name.
void buildControls(QWidget &window, const WindowDef &def);

// Sets the window's own properties: objectName, caption, icon, and the button-face background.
void applyWindowLooks(QWidget &window, const WindowDef &def);

[[nodiscard]] QFont fontFor(FontStyle style);

// UTF-8 from a table to a QString; "\r\n" becomes Qt's line break.
[[nodiscard]] QString tableText(std::string_view utf8);

} // namespace quarnel::ui
