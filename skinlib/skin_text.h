#pragma once

// The text inside a skin blob, in our own small format:
//
//   # comment
//   [skin]
//   style = Fusion                  a QStyleFactory key: the style the sheet refines
//   [palette]
//   Window = #e8f1ec                a palette role for every colour group ...
//   Disabled.ButtonText = #8c9a93   ... or for one group (Active, Inactive, Disabled)
//   [stylesheet]
//   QPushButton { ... }             a Qt style sheet, verbatim to the end of the text
//
// Comments and blank lines are allowed before [stylesheet]. Everything is checked before a
// skin is applied, so a bad skin changes nothing.

#include <QColor>
#include <QPalette>
#include <QString>

#include <optional>
#include <vector>

namespace quarnel::skin {

struct PaletteEntry
{
    std::optional<QPalette::ColorGroup> group; // all groups when empty
    QPalette::ColorRole role = QPalette::Window;
    QColor color;
};

struct SkinText
{
    QString style;
    std::vector<PaletteEntry> palette;
    QString styleSheet;
};

// nullopt (and a reason in *error) for text that is not a skin; does not check the style
// name against the styles available.
[[nodiscard]] std::optional<SkinText> parseSkinText(QStringView text, QString *error = nullptr);

// The skin's palette laid over the base palette.
[[nodiscard]] QPalette paletteFor(const SkinText &skin, QPalette base);

} // namespace quarnel::skin
