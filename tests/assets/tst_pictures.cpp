// The two GIF pictures: what their files store, checked by walking the blocks ourselves,
// and what Qt's GIF reader and QMovie make of them, since those are what show them.
// A banner drawn for a long web address is checked beside the one built into the program,
// because the address is a build setting and must always fit the visible part.
#include "assets/embedded_assets.h"
#include "gif_structure.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QMovie>
#include <QRect>
#include <QSize>
#include <QTest>

#include <vector>

using quarnel::Asset;
using quarnel::assetPath;
using quarnel::testing::readGifStructure;

namespace {

constexpr QSize diagramSize{421, 238};
constexpr QSize bannerSize{450, 70};
constexpr int bannerFrames = 19;
// The About window shows the banner unscaled from its 11th column and 2nd row, 433 x 60.
constexpr QRect bannerShownInAboutWindow{10, 1, 433, 60};

QString longAddressBanner()
{
    return QStringLiteral(QUARNEL_LONG_ADDRESS_BANNER);
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QImage> framesOf(const QString &path)
{
    QImageReader reader(path);
    QList<QImage> frames;
    for (QImage frame; reader.read(&frame);)
        frames.append(frame.convertToFormat(QImage::Format_RGB32));
    return frames;
}

QImage diagram()
{
    return QImage(assetPath(Asset::SplitDiagramPicture)).convertToFormat(QImage::Format_RGB32);
}

bool isGrey(QRgb colour)
{
    const int level = qRed(colour);
    return level == qGreen(colour) && level == qBlue(colour) && level >= 64 && level <= 192;
}

bool isWhite(QRgb colour)
{
    return (colour & 0xffffff) == 0xffffff;
}

bool isDark(QRgb colour)
{
    return qGray(colour) < 96;
}

QList<QPoint> outlineOf(const QRect &box)
{
    QList<QPoint> points;
    for (int x = box.left(); x <= box.right(); ++x)
        points << QPoint(x, box.top()) << QPoint(x, box.bottom());
    for (int y = box.top() + 1; y < box.bottom(); ++y)
        points << QPoint(box.left(), y) << QPoint(box.right(), y);
    return points;
}

struct Run
{
    int first = 0;
    int last = 0;
};

std::vector<Run> darkRuns(const QImage &image, int y)
{
    std::vector<Run> runs;
    for (int x = 0; x < image.width(); ++x) {
        if (!isDark(image.pixel(x, y)))
            continue;
        if (!runs.empty() && runs.back().last == x - 1)
            runs.back().last = x;
        else
            runs.push_back({x, x});
    }
    return runs;
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return count;
}

void addPictureRows()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<bool>("animated");

    QTest::newRow("split diagram")
        << assetPath(Asset::SplitDiagramPicture) << diagramSize << 1 << false;
    QTest::newRow("banner") << assetPath(Asset::BannerPicture) << bannerSize << bannerFrames
                            << true;
    QTest::newRow("banner for a long address")
        << longAddressBanner() << bannerSize << bannerFrames << true;
}

void addBannerRows()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("banner") << assetPath(Asset::BannerPicture);
    QTest::newRow("banner for a long address") << longAddressBanner();
}

} // namespace

class PicturesTest final : public QObject
{
    Q_OBJECT

private slots:
    void storedBlocksAreAsStated_data() { addPictureRows(); }
    void storedBlocksAreAsStated()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(int, frameCount);
        QFETCH(bool, animated);

        const auto gif = readGifStructure(fileContents(path));
        QVERIFY(gif);
        // Frame delays and the looping extension belong to GIF89a; an 87a reader may
        // rightly refuse or ignore them.
        QCOMPARE(gif->version, QByteArray("GIF89a"));
        QCOMPARE(QSize(gif->width, gif->height), size);
        QVERIFY(gif->endsWithTrailer);
        QCOMPARE(gif->frames.size(), frameCount);
        const QRect screen({0, 0}, size);
        // The first frame paints everything, so each pass of the loop starts clean.
        const auto &first = gif->frames.constFirst();
        QCOMPARE(QRect(first.left, first.top, first.width, first.height), screen);
        for (const auto &frame : gif->frames) {
            QVERIFY(screen.contains(QRect(frame.left, frame.top, frame.width, frame.height)));
            QVERIFY(!frame.localColourTable);
        }
        if (!animated) {
            QVERIFY(!gif->loopCount);
            return;
        }
        QCOMPARE(gif->globalColourCount, 128);
        QCOMPARE(gif->loopCount.value_or(-1), 0); // 0: forever
        for (const auto &frame : gif->frames) {
            QCOMPARE(frame.delay, 33);
            // Later frames hold only what changed and draw over what is already shown.
            QCOMPARE(frame.disposal, 1);
        }
    }

    void qtReadsEveryFrame_data() { addPictureRows(); }
    void qtReadsEveryFrame()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(int, frameCount);
        QFETCH(bool, animated);

        QImageReader reader(path);
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        QCOMPARE(reader.format(), QByteArray("gif"));
        QCOMPARE(reader.size(), size);
        QCOMPARE(reader.imageCount(), frameCount);
        QCOMPARE(reader.loopCount(), animated ? -1 : 0); // -1: forever
        int read = 0;
        for (QImage frame; reader.read(&frame); ++read) {
            QCOMPARE(frame.size(), size);
            if (animated)
                QCOMPARE(reader.nextImageDelay(), 330);
        }
        QCOMPARE(read, frameCount);
    }

    void moviePlaysEveryFrame_data() { addPictureRows(); }
    void moviePlaysEveryFrame()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(int, frameCount);
        QFETCH(bool, animated);

        QMovie movie(path);
        QVERIFY(movie.isValid());
        QCOMPARE(movie.frameCount(), frameCount);
        if (animated)
            QCOMPARE(movie.loopCount(), -1);
        for (int frame = 0; frame < frameCount; ++frame) {
            QVERIFY(movie.jumpToFrame(frame));
            QCOMPARE(movie.currentImage().size(), size);
            // What is left of the frame's 330 ms, counted from when it was shown: exact in
            // the reader check above, here a slow build may already have used a millisecond.
            if (animated)
                QVERIFY2(movie.nextFrameDelay() > 300 && movie.nextFrameDelay() <= 330,
                         qPrintable(QString::number(movie.nextFrameDelay())));
        }
    }

    void diagramBoxesHaveGreyOutlinesAndWhiteInsides_data()
    {
        QTest::addColumn<QRect>("box");
        // Outlines as inclusive pixel corners; the number labels sit just inside them.
        QTest::newRow("whole") << QRect(QPoint(152, 10), QPoint(256, 73));
        QTest::newRow("first part") << QRect(QPoint(113, 162), QPoint(188, 225));
        QTest::newRow("second part") << QRect(QPoint(226, 162), QPoint(301, 225));
    }
    void diagramBoxesHaveGreyOutlinesAndWhiteInsides()
    {
        QFETCH(QRect, box);
        const QImage image = diagram();
        QCOMPARE(image.size(), diagramSize);

        for (const QPoint &p : outlineOf(box))
            QVERIFY2(isGrey(image.pixel(p)),
                     qPrintable(QStringLiteral("outline at %1, %2").arg(p.x()).arg(p.y())));
        // Nothing, strokes included, reaches inside: a label there would cover it.
        const QRect inside = box.adjusted(1, 1, -1, -1);
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                QVERIFY2(isWhite(image.pixel(x, y)),
                         qPrintable(QStringLiteral("inside at %1, %2").arg(x).arg(y)));
        // One pixel further out is no longer outline, so the box is exactly here.
        for (const QPoint &p : outlineOf(box.adjusted(-1, -1, 1, 1)))
            QVERIFY2(!isGrey(image.pixel(p)),
                     qPrintable(QStringLiteral("outside at %1, %2").arg(p.x()).arg(p.y())));
    }

    void diagramHasGreyTopAndLeftEdges()
    {
        const QImage image = diagram();
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(isGrey(image.pixel(x, 0)), qPrintable(QString::number(x)));
        for (int y = 0; y < image.height(); ++y)
            QVERIFY2(isGrey(image.pixel(0, y)), qPrintable(QString::number(y)));
    }

    void diagramStrokesFanOutBetweenTheBoxes()
    {
        const QImage image = diagram();
        const int wholeCentre = (152 + 256) / 2;
        Run lastLeft{wholeCentre, wholeCentre};
        Run lastRight{wholeCentre, wholeCentre};
        for (int y = 90; y <= 150; y += 10) {
            const auto runs = darkRuns(image, y);
            QCOMPARE(runs.size(), std::size_t{2});
            const Run &left = runs.front();
            const Run &right = runs.back();
            QVERIFY2(left.last - left.first >= 3 && right.last - right.first >= 3,
                     "strokes are thick");
            QVERIFY(left.last < wholeCentre && right.first > wholeCentre);
            QVERIFY(left.first < lastLeft.first && right.last > lastRight.last);
            QCOMPARE(qGray(image.pixel((left.first + left.last) / 2, y)), 0);
            lastLeft = left;
            lastRight = right;
        }
    }

    void bannerMarginsHoldOnlyBackground_data() { addBannerRows(); }
    void bannerMarginsHoldOnlyBackground()
    {
        QFETCH(QString, path);
        const QList<QImage> frames = framesOf(path);
        QCOMPARE(frames.size(), bannerFrames);
        const QRgb background = frames.constFirst().pixel(0, 0);
        for (const QImage &frame : frames) {
            int content = 0;
            for (int y = 0; y < frame.height(); ++y) {
                for (int x = 0; x < frame.width(); ++x) {
                    const bool plain = frame.pixel(x, y) == background;
                    if (!bannerShownInAboutWindow.contains(x, y))
                        QVERIFY2(plain, qPrintable(QStringLiteral("at %1, %2").arg(x).arg(y)));
                    else if (x >= frame.width() / 2 && !plain)
                        ++content;
                }
            }
            QVERIFY2(content > 500, "the address fills the right half");
        }
    }

    void bannerFramesDifferOnlyInSmallParts_data() { addBannerRows(); }
    void bannerFramesDifferOnlyInSmallParts()
    {
        QFETCH(QString, path);
        const QList<QImage> frames = framesOf(path);
        QCOMPARE(frames.size(), bannerFrames);
        const int area = bannerSize.width() * bannerSize.height();
        for (int i = 0; i < bannerFrames; ++i) {
            // The last frame is followed by the first again.
            const int changed = differingPixels(frames[i], frames[(i + 1) % bannerFrames]);
            QVERIFY2(changed > 0 && changed < area / 10,
                     qPrintable(QStringLiteral("frame %1: %2 pixels").arg(i).arg(changed)));
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
