// The resource paths other parts of the program open, and that they hold exactly what the
// build's scripts made: this executable links only quarnel_assets, so it also shows that
// the resources of that static library reach a program without any Q_INIT_RESOURCE.
#include "assets/embedded_assets.h"

#include <QDir>
#include <QFile>
#include <QTest>

using quarnel::Asset;
using quarnel::assetPath;

Q_DECLARE_METATYPE(quarnel::Asset)

namespace {

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class EmbeddedAssetsTest final : public QObject
{
    Q_OBJECT

private slots:
    void resourceHoldsTheBuiltFile_data()
    {
        QTest::addColumn<Asset>("asset");
        QTest::addColumn<QString>("path");

        QTest::newRow("split diagram")
            << Asset::SplitDiagramPicture << QStringLiteral(":/assets/split_diagram.gif");
        QTest::newRow("banner") << Asset::BannerPicture << QStringLiteral(":/assets/banner.gif");
        QTest::newRow("icon") << Asset::ProgramIcon << QStringLiteral(":/assets/program_icon.ico");
        QTest::newRow("tick") << Asset::TickSound << QStringLiteral(":/assets/tick.wav");
    }
    void resourceHoldsTheBuiltFile()
    {
        QFETCH(Asset, asset);
        QFETCH(QString, path);
        QCOMPARE(assetPath(asset), path);
        const QByteArray embedded = fileContents(path);
        QVERIFY2(!embedded.isEmpty(), qPrintable(path));
        const QString built =
            QDir(QStringLiteral(QUARNEL_GENERATED_ASSETS)).filePath(path.section(u'/', -1));
        QCOMPARE(embedded, fileContents(built));
    }
};

QTEST_APPLESS_MAIN(EmbeddedAssetsTest)
#include "tst_embedded_assets.moc"
