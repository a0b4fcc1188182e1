#include "assets/embedded_assets.h"

namespace quarnel {

QString assetPath(Asset asset)
{
    switch (asset) {
    case Asset::SplitDiagramPicture:
        return QStringLiteral(":/assets/split_diagram.gif");
    case Asset::BannerPicture:
        return QStringLiteral(":/assets/banner.gif");
    case Asset::ProgramIcon:
        return QStringLiteral(":/assets/program_icon.ico");
    case Asset::TickSound:
        return QStringLiteral(":/assets/tick.wav");
    }
    return {};
}

} // namespace quarnel
