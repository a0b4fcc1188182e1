#include "assets/embedded_assets.h"

#include <QFile>
#include <QPixmap>
#include <QtEndian>

namespace quarnel {

namespace {

// Clears every pixel that the ICO's AND mask marks transparent. Only the single 24-bit
// image we make is handled; anything else is left as Qt read it.
void applyAndMask(const QByteArray &ico, QImage &image)
{
    constexpr qsizetype entryOffsetAt = 18;
    constexpr qsizetype infoHeaderSize = 40;
    const auto *bytes = reinterpret_cast<const uchar *>(ico.constData());
    if (ico.size() < entryOffsetAt + 4)
        return;
    const qsizetype offset = qFromLittleEndian<quint32>(bytes + entryOffsetAt);
    if (offset > ico.size() - infoHeaderSize)
        return;
    const uchar *header = bytes + offset;
    const int width = qFromLittleEndian<qint32>(header + 4);
    const int height = qFromLittleEndian<qint32>(header + 8) / 2; // colour and mask
    if (qFromLittleEndian<quint16>(header + 14) != 24 || width != image.width() ||
        height != image.height())
        return;
    const qsizetype colourRow = (width * 24 + 31) / 32 * 4;
    const qsizetype maskRow = (width + 31) / 32 * 4;
    const qsizetype maskAt = offset + infoHeaderSize + colourRow * height;
    if (maskAt + maskRow * height > ico.size())
        return;
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up, pixels most significant bit first.
        const uchar *row = bytes + maskAt + (height - 1 - y) * maskRow;
        for (int x = 0; x < width; ++x) {
            if (row[x / 8] & (0x80 >> (x % 8)))
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
}

} // namespace

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

QImage programIconImage()
{
    QFile file(assetPath(Asset::ProgramIcon));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray ico = file.readAll();
    QImage image = QImage::fromData(ico, "ICO").convertToFormat(QImage::Format_ARGB32);
    if (!image.isNull())
        applyAndMask(ico, image);
    return image;
}

QIcon programIcon()
{
    return QIcon(QPixmap::fromImage(programIconImage()));
}

} // namespace quarnel
