// The 33 shipped skins, as the program embeds them, applied through our real SkinH_EL.dll to a
// stand-in of the main window (same control kinds, names, places, sizes and fonts).
#include "skinlib/skin_blob.h"
#include "skinlib/skinh_api.h"
#include "skins/embedded_skins.h"
#include "stand_in_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLibrary>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace skinh = quarnel::skinh;
using quarnel::skins::embeddedSkin;
using quarnel::skins::firstSkin;
using quarnel::skins::lastSkin;

namespace {

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // The offscreen platform's own notes on what it cannot do are no skin's doing.
    if (type != QtDebugMsg && type != QtInfoMsg &&
        !message.startsWith(u"This plugin does not support"))
        g_warnings << message;
}

// Where every control sits and how it writes; a skin must leave all of it as it was.
struct Layout
{
    QString name;
    QRect geometry;
    QFont font;
    int pixelSize = 0;
    bool operator==(const Layout &) const = default;
};

QString changes(const std::vector<Layout> &before, const std::vector<Layout> &after)
{
    if (before.size() != after.size())
        return QStringLiteral("controls came or went");
    QStringList changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        QString text;
        QDebug(&text) << before[i].name << before[i].geometry << before[i].font
                      << before[i].pixelSize << "->" << after[i].geometry << after[i].font
                      << after[i].pixelSize;
        changed << text;
    }
    return changed.join(u'\n');
}

std::vector<Layout> layoutOf(const QWidget &window)
{
    std::vector<Layout> layout;
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith(u"qt_"))
            continue; // a control's own internals, such as a combo box's popup
        layout.push_back({widget->objectName(), widget->geometry(), widget->font(),
                          QFontInfo(widget->font()).pixelSize()});
    }
    return layout;
}

QImage imageOf(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

double luminance(QRgb rgb)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

// WCAG contrast between a label's ground (its commonest colour) and its darkest ink.
double textContrast(const QImage &image)
{
    std::map<QRgb, int> counts;
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ++counts[pixel];
            if (luminance(pixel) < luminance(darkest))
                darkest = pixel;
        }
    }
    const QRgb ground = std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
                            return a.second < b.second;
                        })->first;
    return (luminance(ground) + 0.05) / (luminance(darkest) + 0.05);
}

// The pixels that carry the glyphs: with an unchanged font and place they are the same pixels
// in any skin, whatever the ground's colour.
std::vector<bool> inkOf(const QImage &image)
{
    std::vector<bool> ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink.push_back(luminance(image.pixel(x, y)) < 0.18);
    }
    return ink;
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
    return count;
}

const char *const numberLabels[] = {"标签_20以内的和", "标签_20以内数1", "标签_20以内数2"};
// What a skin restyles: buttons, combo boxes, radio buttons and the group box frames.
const char *const restyledControls[] = {"按钮_20以内分",      "按钮_停止",      "按钮1",
                                        "组合框_20以内范围",  "组合框_时间",    "单选框_和隐藏",
                                        "单选框_数1隐藏",     "单选框_数2隐藏", "单选框_全部显示",
                                        "分组框_20以内分开关"};

} // namespace

class SkinsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everySkinIsEmbeddedAndDecodes_data();
    void everySkinIsEmbeddedAndDecodes();
    void everySkinAppliesAndMovesNothing_data();
    void everySkinAppliesAndMovesNothing();
    void theSkinsLookDistinct();
    void skin13RestylesControlsAndKeepsNumbersReadable();

private:
    void applyUnskinnedLook();
    void applySkin(int number);

    std::unique_ptr<QLibrary> m_library;
    skinh::AttachRes m_attach = nullptr;
};

void SkinsTest::initTestCase()
{
    m_library = std::make_unique<QLibrary>(QStringLiteral(QUARNEL_SKIN_LIBRARY));
    QVERIFY2(m_library->load(), qPrintable(m_library->errorString()));
    m_attach = reinterpret_cast<skinh::AttachRes>(m_library->resolve(skinh::attachFunctionName));
    QVERIFY(m_attach != nullptr);
}

void SkinsTest::init()
{
    applyUnskinnedLook();
    g_warnings.clear();
    qInstallMessageHandler(collectWarnings);
}

void SkinsTest::cleanup()
{
    qInstallMessageHandler(nullptr);
    // A style sheet Qt cannot parse is only ever a warning.
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u'\n')));
}

void SkinsTest::applyUnskinnedLook()
{
    qApp->setStyleSheet({});
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
}

void SkinsTest::applySkin(int number)
{
    const QByteArrayView blob = embeddedSkin(number);
    QCOMPARE(m_attach(blob.data(), static_cast<std::uint32_t>(blob.size()), "", 0, 0, 0),
             skinh::Applied);
}

void SkinsTest::everySkinIsEmbeddedAndDecodes_data()
{
    QTest::addColumn<int>("number");
    for (int number = firstSkin; number <= lastSkin; ++number)
        QTest::addRow("skin %d", number) << number;
}

void SkinsTest::everySkinIsEmbeddedAndDecodes()
{
    QFETCH(int, number);
    const QByteArrayView blob = embeddedSkin(number);
    QVERIFY(blob.size() > 15);
    QCOMPARE(blob.first(6), QByteArrayView("\x2E\x53\x48\x45\x00\x03", 6));
    QCOMPARE(blob.sliced(10, 5), QByteArrayView("\x5D\x00\x00\x80\x00", 5));

    namespace codec = quarnel::skinblob;
    const codec::Decoded decoded =
        codec::decode({reinterpret_cast<const std::uint8_t *>(blob.data()),
                       static_cast<std::size_t>(blob.size())});
    QCOMPARE(decoded.status, codec::Status::Ok);
    const std::uint32_t declared =
        std::uint32_t(std::uint8_t(blob[6])) | std::uint32_t(std::uint8_t(blob[7])) << 8 |
        std::uint32_t(std::uint8_t(blob[8])) << 16 | std::uint32_t(std::uint8_t(blob[9])) << 24;
    QCOMPARE(decoded.text.size(), declared);
}

void SkinsTest::everySkinAppliesAndMovesNothing_data()
{
    everySkinIsEmbeddedAndDecodes_data();
}

void SkinsTest::everySkinAppliesAndMovesNothing()
{
    QFETCH(int, number);
    auto before = quarnel::testing::makeStandInMainWindow();
    before->ensurePolished();
    const std::vector<Layout> unskinned = layoutOf(*before);
    QVERIFY(unskinned.size() >= 20);

    applySkin(number);
    QVERIFY(!qApp->styleSheet().isEmpty());
    // The window that was open when the skin came, and one opened after it.
    auto after = quarnel::testing::makeStandInMainWindow();
    for (QWidget *window : {before.get(), after.get()}) {
        QVERIFY(!window->grab().isNull()); // polishes and paints every control
        // The skin's colours reach the window that was already open, too.
        QCOMPARE(
            window->findChild<QLabel *>(QStringLiteral("标签1"))->palette().color(QPalette::Button),
            QApplication::palette().color(QPalette::Button));
        const QString changed = changes(unskinned, layoutOf(*window));
        QVERIFY2(changed.isEmpty(), qPrintable(changed));
    }
    // A drop-down list shows its items in the combo box's font, also in a window that opens
    // after the skin came.
    after->show();
    for (QComboBox *combo : after->findChildren<QComboBox *>()) {
        combo->showPopup();
        const int itemHeight = combo->view()->visualRect(combo->model()->index(0, 0)).height();
        combo->hidePopup();
        QVERIFY2(
            itemHeight >= QFontMetrics(combo->font()).height(),
            qPrintable(
                QStringLiteral("%1: items %2 px high").arg(combo->objectName()).arg(itemHeight)));
    }
    for (const char *name : numberLabels) {
        const QFont font = after->findChild<QLabel *>(QString::fromUtf8(name))->font();
        QCOMPARE(font.pixelSize(), 64);
        QVERIFY(font.bold());
    }
}

void SkinsTest::theSkinsLookDistinct()
{
    auto window = quarnel::testing::makeStandInMainWindow();
    std::vector<QImage> looks{imageOf(*window)};
    for (int number = firstSkin; number <= lastSkin; ++number) {
        applySkin(number);
        looks.push_back(imageOf(*window));
    }
    // Distinct to the eye, not by a stray pixel: every two looks (the unskinned one included)
    // differ in at least 1% of the window.
    const int enough = looks.front().width() * looks.front().height() / 100;
    for (std::size_t a = 0; a < looks.size(); ++a) {
        for (std::size_t b = a + 1; b < looks.size(); ++b) {
            QVERIFY2(differingPixels(looks[a], looks[b]) >= enough,
                     qPrintable(
                         QStringLiteral("looks %1 and %2 (0: unskinned) are alike").arg(a).arg(b)));
        }
    }
}

void SkinsTest::skin13RestylesControlsAndKeepsNumbersReadable()
{
    auto window = quarnel::testing::makeStandInMainWindow();
    auto grabAll = [&window](const auto &names) {
        std::map<QString, QImage> images;
        for (const char *name : names) {
            auto *control = window->findChild<QWidget *>(QString::fromUtf8(name));
            images[QString::fromUtf8(name)] = imageOf(*control);
        }
        return images;
    };
    const auto plainControls = grabAll(restyledControls);
    const auto plainNumbers = grabAll(numberLabels);

    applySkin(13);
    const auto skinnedControls = grabAll(restyledControls);
    const auto skinnedNumbers = grabAll(numberLabels);

    for (const auto &[name, plain] : plainControls) {
        const QImage &skinned = skinnedControls.at(name);
        QCOMPARE(skinned.size(), plain.size());
        // A restyle shows in more than a stray pixel or two.
        QVERIFY2(differingPixels(plain, skinned) > plain.width() * plain.height() / 20,
                 qPrintable(name));
    }
    for (const auto &[name, plain] : plainNumbers) {
        const QImage &skinned = skinnedNumbers.at(name);
        QCOMPARE(skinned.size(), plain.size());
        const std::vector<bool> plainInk = inkOf(plain);
        const std::vector<bool> skinnedInk = inkOf(skinned);
        const auto inkPixels = std::count(plainInk.begin(), plainInk.end(), true);
        QVERIFY2(inkPixels > 300, qPrintable(name + QStringLiteral(": no digits to be seen")));
        std::ptrdiff_t moved = 0;
        for (std::size_t i = 0; i < plainInk.size(); ++i)
            moved += plainInk[i] != skinnedInk[i] ? 1 : 0;
        QVERIFY2(moved <= inkPixels / 50,
                 qPrintable(name + QStringLiteral(": the digits moved or changed shape")));
        QVERIFY2(textContrast(skinned) >= 7.0,
                 qPrintable(name + QStringLiteral(": too little contrast")));
    }
}

QTEST_MAIN(SkinsTest)
#include "tst_skins.moc"
