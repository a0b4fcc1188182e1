#pragma once

#include <QString>

namespace quarnel {

// The pictures, icon and sound built into the program (library quarnel_assets).
enum class Asset {
    SplitDiagramPicture, // GIF, the diagram behind the three number labels
    BannerPicture,       // animated GIF with the program's web address
    ProgramIcon,         // ICO, 48 x 48
    TickSound,           // WAV played with every new problem
};

// The Qt resource path of an asset, e.g. ":/assets/banner.gif".
[[nodiscard]] QString assetPath(Asset asset);

} // namespace quarnel
