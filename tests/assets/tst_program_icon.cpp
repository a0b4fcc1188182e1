// The program icon: the ICO's stored fields, byte for byte, and the picture as the windows
// get it, through Qt's ICO reader with the mask applied (programIcon()); plus the PNG made
// beside it for the desktop's icon theme, which must show the same picture.
#include "assets/embedded_assets.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

using quarnel::Asset;
using quarnel::assetPath;

namespace {

constexpr int iconSize = 48;
constexpr qsizetype directorySize = 6 + 16;
// BITMAPINFOHEADER, 48 rows of 48 BGR pixels, 48 rows of the 1-bit mask padded to 8 bytes.
constexpr qsizetype imageSize = 40 + 48 * 48 * 3 + 48 * 8;
static_assert(imageSize == 7336);

QByteArray icoFile()
{
    QFile file(assetPath(Asset::ProgramIcon));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage icoImage()
{
    return quarnel::programIconImage().convertToFormat(QImage::Format_ARGB32);
}

quint32 field(const QByteArray &data, int offset, int size)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData()) + offset;
    switch (size) {
    case 1:
        return bytes[0];
    case 2:
        return qFromLittleEndian<quint16>(bytes);
    default:
        return qFromLittleEndian<quint32>(bytes);
    }
}

bool isGreen(QRgb c)
{
    return qGreen(c) > qRed(c) + 30 && qGreen(c) > qBlue(c) + 30;
}

bool isYellow(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 180 && qBlue(c) < 130;
}

} // namespace

class ProgramIconTest final : public QObject
{
    Q_OBJECT

private slots:
    void storedFieldsAreAsStated_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<quint32>("value");

        QTest::newRow("directory: reserved") << 0 << 2 << 0u;
        QTest::newRow("directory: type icon") << 2 << 2 << 1u;
        QTest::newRow("directory: one image") << 4 << 2 << 1u;
        QTest::newRow("entry: width") << 6 << 1 << 48u;
        QTest::newRow("entry: height") << 7 << 1 << 48u;
        QTest::newRow("entry: no palette") << 8 << 1 << 0u;
        QTest::newRow("entry: planes") << 10 << 2 << 1u;
        QTest::newRow("entry: bits per pixel") << 12 << 2 << 24u;
        QTest::newRow("entry: image bytes") << 14 << 4 << 7336u;
        QTest::newRow("entry: image offset") << 18 << 4 << 22u;
        QTest::newRow("bitmap: header size") << 22 << 4 << 40u;
        QTest::newRow("bitmap: width") << 26 << 4 << 48u;
        QTest::newRow("bitmap: colour and mask height") << 30 << 4 << 96u;
        QTest::newRow("bitmap: planes") << 34 << 2 << 1u;
        QTest::newRow("bitmap: bits per pixel") << 36 << 2 << 24u;
        QTest::newRow("bitmap: uncompressed") << 38 << 4 << 0u;
    }
    void storedFieldsAreAsStated()
    {
        QFETCH(int, offset);
        QFETCH(int, size);
        QFETCH(quint32, value);
        const QByteArray ico = icoFile();
        QCOMPARE(ico.size(), directorySize + imageSize);
        QCOMPARE(field(ico, offset, size), value);
    }

    void qtLoadsTheIconAt48Pixels()
    {
        QImageReader reader(assetPath(Asset::ProgramIcon));
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        QCOMPARE(reader.format(), QByteArray("ico"));
        QCOMPARE(reader.read().size(), QSize(iconSize, iconSize));

        const QIcon icon = quarnel::programIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(iconSize, iconSize)));
        const QImage shown = icon.pixmap(QSize(iconSize, iconSize)).toImage();
        QCOMPARE(shown.size(), QSize(iconSize, iconSize));
        QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(shown.pixel(iconSize / 2, iconSize / 2)), 255);
    }

    void maskCutsOutTheBall_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("opaque");
        QTest::newRow("top left corner") << QPoint(0, 0) << false;
        QTest::newRow("top right corner") << QPoint(47, 0) << false;
        QTest::newRow("bottom left corner") << QPoint(0, 47) << false;
        QTest::newRow("bottom right corner") << QPoint(47, 47) << false;
        QTest::newRow("centre") << QPoint(24, 24) << true;
        QTest::newRow("left edge of the ball") << QPoint(2, 24) << true;
        QTest::newRow("bottom edge of the ball") << QPoint(24, 45) << true;
    }
    void maskCutsOutTheBall()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, opaque);
        QCOMPARE(qAlpha(icoImage().pixel(point)), opaque ? 255 : 0);
    }

    void greenBallWithYellowLettering()
    {
        const QImage image = icoImage();
        int opaque = 0;
        int green = 0;
        int yellow = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                if (qAlpha(c) == 0)
                    continue;
                ++opaque;
                green += isGreen(c) ? 1 : 0;
                yellow += isYellow(c) ? 1 : 0;
            }
        }
        QVERIFY2(opaque > 1500, "a ball fills most of the square");
        QVERIFY2(green > opaque / 2, qPrintable(QString::number(green)));
        QVERIFY2(yellow > 60, qPrintable(QString::number(yellow)));
    }

    void themePngShowsTheSamePicture()
    {
        const QImage png = QImage(QStringLiteral(QUARNEL_ICON_PNG));
        QCOMPARE(png.size(), QSize(iconSize, iconSize));
        QVERIFY(png.hasAlphaChannel());
        const QImage ico = icoImage();
        const QImage smooth = png.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < iconSize; ++y) {
            for (int x = 0; x < iconSize; ++x) {
                const QRgb fromIco = ico.pixel(x, y);
                const QRgb fromPng = smooth.pixel(x, y);
                // The ICO's mask is the PNG's alpha cut at one half.
                QCOMPARE(qAlpha(fromIco) == 255, qAlpha(fromPng) >= 128);
                if (qAlpha(fromIco) == 255)
                    QCOMPARE(fromPng & 0xffffff, fromIco & 0xffffff);
            }
        }
    }
};

QTEST_MAIN(ProgramIconTest)
#include "tst_program_icon.moc"
