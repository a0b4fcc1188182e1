// Our SkinH_EL.dll as the program meets it: the real file from the build, loaded at run time,
// called through its exported SkinH_AttachRes. Blobs are made in code; the 33 shipped skins
// are tests/skins' business.
#include "skinlib/skin_blob.h"
#include "skinlib/skinh_api.h"

#include <QApplication>
#include <QLibrary>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <memory>
#include <thread>
#include <vector>

namespace skinh = quarnel::skinh;
using Bytes = std::vector<std::uint8_t>;

namespace {

const QString pinkSkin = QStringLiteral("# a test skin\n"
                                        "[skin]\n"
                                        "style = Fusion\n"
                                        "[palette]\n"
                                        "Window = #ffe0f0\n"
                                        "Disabled.ButtonText = #808080\n"
                                        "[stylesheet]\n"
                                        "QPushButton { border: 2px solid #c00060; }\n");

Bytes blobOf(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return quarnel::skinblob::encode({utf8.constData(), static_cast<std::size_t>(utf8.size())});
}

// What a skin changes in the application; equal before and after a refused call.
struct AppLook
{
    QString style;
    QString styleSheet;
    QPalette palette;
    bool operator==(const AppLook &) const = default;
};

AppLook currentLook()
{
    return {QApplication::style()->name(), qApp->styleSheet(), QApplication::palette()};
}

} // namespace

class SkinLibraryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void refusesCallsFromOtherThreads();
    void appliesToTheAppAndToWindowsOpenedLater();
    void keepsNothingOfTheCallersBuffer();
    void ignoresTheTextAndTheIntegers();

private:
    skinh::AttachRes m_attach = nullptr;
    std::unique_ptr<QLibrary> m_library;
};

void SkinLibraryTest::initTestCase()
{
    m_library = std::make_unique<QLibrary>(QStringLiteral(QUARNEL_SKIN_LIBRARY));
    QVERIFY2(m_library->load(), qPrintable(m_library->errorString()));
    m_attach = reinterpret_cast<skinh::AttachRes>(m_library->resolve(skinh::attachFunctionName));
    QVERIFY(m_attach != nullptr);
}

void SkinLibraryTest::init()
{
    // Each test starts from the unskinned look.
    qApp->setStyleSheet({});
    QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setPalette(QApplication::style()->standardPalette());
}

void SkinLibraryTest::refusalsChangeNothing_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<bool>("nullAddress");
    QTest::addColumn<int>("result");

    const Bytes good = blobOf(pinkSkin);
    const Bytes truncated(good.begin(), good.end() - 1);
    Bytes trailing = good;
    trailing.push_back(0);
    Bytes otherProperties = good;
    otherProperties[10] = 0x5E;
    Bytes hugeSize = good;
    hugeSize[9] = 0x7F;

    QTest::newRow("null address") << good << true << int(skinh::NoData);
    QTest::newRow("length 0") << Bytes{} << false << int(skinh::NoData);
    QTest::newRow("truncated") << truncated << false << int(skinh::NotASkin);
    QTest::newRow("trailing garbage") << trailing << false << int(skinh::NotASkin);
    QTest::newRow("other LZMA properties") << otherProperties << false << int(skinh::NotASkin);
    QTest::newRow("declared size of 2 GiB") << hugeSize << false << int(skinh::NotASkin);
    const QByteArray plain = pinkSkin.toUtf8();
    QTest::newRow("plain text, no blob")
        << Bytes(plain.begin(), plain.end()) << false << int(skinh::NotASkin);
    QTest::newRow("blob of no skin text")
        << blobOf(QStringLiteral("hello")) << false << int(skinh::BadSkinText);
    QTest::newRow("unknown style")
        << blobOf(QString(pinkSkin).replace(QStringLiteral("Fusion"), QStringLiteral("Nope")))
        << false << int(skinh::BadSkinText);
    QTest::newRow("bad colour") << blobOf(QString(pinkSkin).replace(QStringLiteral("#ffe0f0"),
                                                                    QStringLiteral("pink")))
                                << false << int(skinh::BadSkinText);
    QTest::newRow("unknown palette role")
        << blobOf(QString(pinkSkin).replace(QStringLiteral("Window ="), QStringLiteral("Wall =")))
        << false << int(skinh::BadSkinText);
    QTest::newRow("unknown colour group")
        << blobOf(QString(pinkSkin).replace(QStringLiteral("Disabled."), QStringLiteral("Off.")))
        << false << int(skinh::BadSkinText);
}

void SkinLibraryTest::refusalsChangeNothing()
{
    QFETCH(Bytes, bytes);
    QFETCH(bool, nullAddress);
    QFETCH(int, result);

    const AppLook before = currentLook();
    const std::int32_t answer = m_attach(nullAddress ? nullptr : bytes.data(),
                                         static_cast<std::uint32_t>(bytes.size()), "", 0, 0, 0);
    QCOMPARE(answer, result);
    QVERIFY(currentLook() == before);
}

void SkinLibraryTest::refusesCallsFromOtherThreads()
{
    const Bytes good = blobOf(pinkSkin);
    const AppLook before = currentLook();
    std::int32_t answer = 0;
    std::thread([&] {
        answer = m_attach(good.data(), static_cast<std::uint32_t>(good.size()), "", 0, 0, 0);
    }).join();
    QCOMPARE(answer, skinh::NoWidgetApp);
    QVERIFY(currentLook() == before);
}

void SkinLibraryTest::appliesToTheAppAndToWindowsOpenedLater()
{
    QPushButton before;
    before.ensurePolished();
    const Bytes good = blobOf(pinkSkin);
    QCOMPARE(m_attach(good.data(), static_cast<std::uint32_t>(good.size()), "", 0, 0, 0),
             skinh::Applied);

    QCOMPARE(qApp->styleSheet(), QStringLiteral("QPushButton { border: 2px solid #c00060; }\n"));
    QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor(0xffe0f0));
    QCOMPARE(QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText),
             QColor(0x808080));

    QPushButton later;
    later.ensurePolished();
    for (QPushButton *button : {&before, &later}) {
        QCOMPARE(button->palette().color(QPalette::Window), QColor(0xffe0f0));
        QCOMPARE(button->style()->metaObject()->className(), "QStyleSheetStyle");
    }
    // The sheet wraps the base style; without the sheet the skin's own style shows.
    qApp->setStyleSheet({});
    QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
}

void SkinLibraryTest::keepsNothingOfTheCallersBuffer()
{
    auto blob = std::make_unique<Bytes>(blobOf(pinkSkin));
    QCOMPARE(m_attach(blob->data(), static_cast<std::uint32_t>(blob->size()), "", 0, 0, 0),
             skinh::Applied);
    std::fill(blob->begin(), blob->end(), std::uint8_t{0xEE});
    blob.reset(); // ASan builds catch any later read of it

    QPushButton later;
    later.ensurePolished();
    QVERIFY(!later.grab().isNull());
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QPushButton { border: 2px solid #c00060; }\n"));
    QCOMPARE(later.palette().color(QPalette::Window), QColor(0xffe0f0));
}

void SkinLibraryTest::ignoresTheTextAndTheIntegers()
{
    const Bytes good = blobOf(pinkSkin);
    QCOMPARE(
        m_attach(good.data(), static_cast<std::uint32_t>(good.size()), "whatever", 7, -1, 1 << 30),
        skinh::Applied);
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0xffe0f0));
    QCOMPARE(m_attach(good.data(), static_cast<std::uint32_t>(good.size()), nullptr, 0, 0, 0),
             skinh::Applied);
}

QTEST_MAIN(SkinLibraryTest)
#include "tst_skin_library.moc"
