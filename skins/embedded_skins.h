#pragma once

#include <QByteArrayView>

namespace quarnel::skins {

inline constexpr int firstSkin = 1;
inline constexpr int lastSkin = 33;

// The packed blob of skin `number` as embedded in the program (read-only, lives as long as
// the program); empty outside firstSkin..lastSkin.
[[nodiscard]] QByteArrayView embeddedSkin(int number);

} // namespace quarnel::skins
