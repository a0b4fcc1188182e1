#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace quarnel {

// The pictures, icon and sound built into the program (library quarnel_assets).
enum class Asset {
    SplitDiagramPicture, // GIF, the diagram behind the three number labels
    BannerPicture,       // animated GIF with the program's web address
    ProgramIcon,         // ICO, 48 x 48, 24-bit colour with a 1-bit mask
    TickSound,           // WAV played with every new problem
};

// The Qt resource path of an asset, e.g. ":/assets/banner.gif".
[[nodiscard]] QString assetPath(Asset asset);

// The program icon with its transparent corners. Use these rather than loading the ICO
// directly: Qt's ICO reader (6.4 at least) drops the 1-bit mask of a 24-bit icon and shows
// the masked corners black. Needs a QGuiApplication, as any QIcon does.
[[nodiscard]] QImage programIconImage();
[[nodiscard]] QIcon programIcon();

} // namespace quarnel
