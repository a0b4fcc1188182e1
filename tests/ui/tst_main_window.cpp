// The main window on the offscreen platform: its definition (controls, places, looks, items,
// stacking and tab order), its event bindings, the hiding modes and the keys.
//
// Not here: the outer size and place on a real screen, the numbers inside the diagram's
// boxes and the drill's real timing (tests/e2e, under Xvfb and a window manager), and the
// sound itself (tests/audio).
#include "engine/random_source.h"
#include "ui/drop_down_list.h"
#include "ui/main_window.h"
#include "ui/picture_box.h"
#include "ui/precise_timer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using quarnel::RandomSource;
using quarnel::ui::MainWindow;
using quarnel::ui::PreciseTimer;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const QColor white(0xFF, 0xFF, 0xFF);

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

struct Item
{
    const char *text;
    int value;
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowProperties();
    void controls_data();
    void controls();
    void looks_data();
    void looks();
    void stackingOrder_data();
    void stackingOrder();
    void tabVisitsTheTabStopsInOrder();
    void comboItems_data();
    void comboItems();
    void comboBoxesAcceptNoTypedText();
    void droppedListIs160PixelsHighWithTheControl();
    void wideCaptionsAreCutOnBothSides_data();
    void wideCaptionsAreCutOnBothSides();
    void pictures();

    void beforeStartNothingRuns();
    void startWithUntouchedSelectorsReadsLimit5And6000ms();
    void stopClearsTheCounterAndFreesTheSelectors();
    void selectorChangesRunNoCode();
    void aboutButtonAsksForTheAboutWindow();

    void radioButtonsStartUnmarkedAndFormOneGroup();
    void hidingModes_data();
    void hidingModes();
    void clickOnTheMarkedRadioButtonRunsItsHandlerAgain();
    void hiddenLabelKeepsReceivingCaptions();

    void escapeCloses_data();
    void escapeCloses();
    void firstEscapeWithADroppedListOnlyClosesTheList();

private:
    template<typename T = QWidget>
    T *child(const char *name) const
    {
        T *found = m_window->findChild<T *>(u(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }
    void showAndActivate();

    RandomSource m_numbers;
    std::unique_ptr<MainWindow> m_window;
};

void MainWindowTest::init()
{
    m_numbers.seedRandom(20);
    m_window = std::make_unique<MainWindow>(m_numbers);
}

void MainWindowTest::cleanup()
{
    m_window.reset();
}

void MainWindowTest::showAndActivate()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void MainWindowTest::windowProperties()
{
    QCOMPARE(m_window->objectName(), u("MainWindow"));
    QCOMPARE(m_window->windowTitle(), u("Quarnel"));
    QVERIFY(m_window->isWindow());
    QVERIFY2(!m_window->isVisible(), "created hidden, for start-up to finish first");

    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY2(m_window->minimumSize() == m_window->maximumSize(), "the user cannot resize it");

    QVERIFY(m_window->autoFillBackground());
    QCOMPARE(m_window->palette().color(QPalette::Window), buttonFace());
    QVERIFY(m_window->windowIcon().availableSizes().contains(QSize(48, 48)));
}

void MainWindowTest::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("tabStop");

    const auto row = [](const char *name, const char *kind, const char *parent, QRect place,
                        bool tabStop) {
        QTest::newRow(name) << u(kind) << u(parent) << place << tabStop;
    };
    const char *window = "MainWindow";
    const char *display = "分组框_20_以内分";
    const char *settings = "分组框_20以内分开关";
    row("图片框2", "quarnel::ui::PictureBox", window, {-12, 361, 443, 61}, false);
    row("分组框_20_以内分", "QGroupBox", window, {-1, 0, 433, 248}, false);
    row("单选框_全部显示", "QRadioButton", display, {328, 88, 80, 24}, true);
    row("单选框_数2隐藏", "QRadioButton", display, {328, 64, 80, 24}, true);
    row("单选框_数1隐藏", "QRadioButton", display, {328, 40, 80, 24}, true);
    row("单选框_和隐藏", "QRadioButton", display, {329, 16, 80, 24}, true);
    row("标签_20以内数2", "QLabel", display, {229, 172, 72, 61}, false);
    row("标签_20以内数1", "QLabel", display, {116, 172, 72, 61}, false);
    row("标签_20以内的和", "QLabel", display, {154, 20, 102, 61}, false);
    row("图片框1", "quarnel::ui::PictureBox", display, {1, 8, 432, 240}, false);
    row("分组框_20以内分开关", "QGroupBox", window, {8, 256, 416, 104}, false);
    row("按钮1", "QPushButton", settings, {375, 24, 31, 64}, true);
    row("标签1", "QLabel", settings, {16, 64, 96, 24}, false);
    row("标签_出题数量", "QLabel", settings, {112, 64, 56, 24}, false);
    row("按钮_停止", "QPushButton", settings, {309, 59, 60, 31}, true);
    row("标签6", "QLabel", settings, {161, 24, 40, 24}, false);
    row("组合框_时间", "QComboBox", settings, {201, 24, 98, 20}, true);
    row("按钮_20以内分", "QPushButton", settings, {309, 24, 60, 31}, true);
    row("标签2", "QLabel", settings, {16, 24, 40, 24}, false);
    row("组合框_20以内范围", "QComboBox", settings, {55, 24, 90, 20}, true);
}

void MainWindowTest::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, place);
    QFETCH(bool, tabStop);

    const QWidget *control = child(QTest::currentDataTag());
    QVERIFY(control);
    QVERIFY2(control->inherits(kind.toLatin1().constData()), control->metaObject()->className());
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), place);
    QCOMPARE(bool(control->focusPolicy() & Qt::TabFocus), tabStop);
    QVERIFY(!control->isHidden());
    QVERIFY(control->isEnabled());
}

void MainWindowTest::looks_data()
{
    // font: "numbers" 64 px bold, "text" 19 px normal, "system" the application's font.
    // background: an invalid colour leaves the style's own.
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<int>("alignment");

    const QColor face = buttonFace();
    const QColor standard;
    const int centred = Qt::AlignHCenter | Qt::AlignVCenter;
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto row = [](const char *name, const char *caption, const char *font,
                        const QColor &background, int alignment) {
        QTest::newRow(name) << u(caption) << u(font) << background << alignment;
    };
    row("标签_20以内的和", "和", "numbers", face, centred);
    row("标签_20以内数1", "数1", "numbers", face, centred);
    row("标签_20以内数2", "数2", "numbers", face, centred);
    row("标签1", "练习数量：", "text", face, left);
    row("标签_出题数量", "0", "text", face, centred);
    row("标签2", "范围", "text", face, left);
    row("标签6", "速度", "text", face, left);
    row("单选框_和隐藏", "和或差隐藏", "system", white, 0);
    row("单选框_数1隐藏", "数1隐藏", "system", white, 0);
    row("单选框_数2隐藏", "数2隐藏", "system", white, 0);
    row("单选框_全部显示", "全部显示", "system", white, 0);
    row("按钮_20以内分", "开始", "text", standard, 0);
    row("按钮_停止", "停止", "text", standard, 0);
    row("按钮1", "关\n于", "text", standard, 0); // "关\r\n于": two lines
    row("分组框_20_以内分", "", "system", white, Qt::AlignLeft);
    row("分组框_20以内分开关", "Quarnel", "text", face, Qt::AlignLeft);
    row("组合框_20以内范围", "1～5分", "text", white, 0);
    row("组合框_时间", "每题6秒", "text", white, 0);
    row("图片框1", "", "", face, 0);
    row("图片框2", "", "", face, 0);
}

void MainWindowTest::looks()
{
    QFETCH(QString, caption);
    QFETCH(QString, font);
    QFETCH(QColor, background);
    QFETCH(int, alignment);

    QWidget *control = child(QTest::currentDataTag());
    QVERIFY(control);

    if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(int(label->alignment()), alignment);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        QCOMPARE(button->text(), caption);
    } else if (auto *group = qobject_cast<QGroupBox *>(control)) {
        QCOMPARE(group->title(), caption);
        QCOMPARE(int(group->alignment()), alignment);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        QCOMPARE(combo->currentText(), caption);
    }

    const QFont actual = control->font();
    if (font == u("numbers")) {
        QCOMPARE(actual.pixelSize(), 64);
        QCOMPARE(actual.weight(), QFont::Bold);
    } else if (font == u("text")) {
        QCOMPARE(actual.pixelSize(), 19);
        QCOMPARE(actual.weight(), QFont::Normal);
    } else if (font == u("system")) {
        QCOMPARE(actual, QApplication::font());
    }
    if (font == u("numbers") || font == u("text")) {
        QCOMPARE(actual.family(), QApplication::font().family());
        QVERIFY(!actual.italic() && !actual.underline() && !actual.strikeOut());
    }

    if (background.isValid()) {
        QVERIFY(control->autoFillBackground());
        QCOMPARE(control->palette().color(QPalette::Window), background);
    }
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        QCOMPARE(control->palette().color(QPalette::Active, role), QColor(Qt::black));

    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QVERIFY2(!button->isDefault() && !button->autoDefault(), "Enter clicks no button");
    }
}

void MainWindowTest::stackingOrder_data()
{
    QTest::addColumn<QStringList>("topFirst");
    QTest::newRow("MainWindow") << QStringList{u("图片框2"), u("分组框_20_以内分"),
                                               u("分组框_20以内分开关")};
    QTest::newRow("分组框_20_以内分") << QStringList{
        u("单选框_全部显示"), u("单选框_数2隐藏"), u("单选框_数1隐藏"),  u("单选框_和隐藏"),
        u("标签_20以内数2"),  u("标签_20以内数1"), u("标签_20以内的和"), u("图片框1")};
    QTest::newRow("分组框_20以内分开关") << QStringList{
        u("按钮1"),       u("标签1"),         u("标签_出题数量"), u("按钮_停止"),        u("标签6"),
        u("组合框_时间"), u("按钮_20以内分"), u("标签2"),         u("组合框_20以内范围")};
}

void MainWindowTest::stackingOrder()
{
    QFETCH(QStringList, topFirst);
    const QString parentName = u(QTest::currentDataTag());
    const QWidget *parent =
        parentName == u("MainWindow") ? m_window.get() : child(QTest::currentDataTag());
    QVERIFY(parent);

    // Qt keeps siblings bottom first.
    QStringList actual;
    for (const QObject *object : parent->children()) {
        const auto *widget = qobject_cast<const QWidget *>(object);
        if (widget && !widget->isWindow() && topFirst.contains(widget->objectName()))
            actual.prepend(widget->objectName());
    }
    QCOMPARE(actual, topFirst);
}

void MainWindowTest::tabVisitsTheTabStopsInOrder()
{
    showAndActivate();
    const QStringList expected{u("单选框_全部显示"), u("单选框_数2隐藏"), u("单选框_数1隐藏"),
                               u("单选框_和隐藏"),   u("按钮1"),          u("按钮_停止"),
                               u("组合框_时间"),     u("按钮_20以内分"),  u("组合框_20以内范围")};
    child(expected.front().toUtf8().constData())->setFocus(Qt::TabFocusReason);

    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.front());
}

void MainWindowTest::comboItems_data()
{
    QTest::addColumn<QList<QString>>("texts");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("selected");

    const auto row = [](const char *name, std::initializer_list<Item> items, int selected) {
        QList<QString> texts;
        QList<int> values;
        for (const Item &item : items) {
            texts.append(u(item.text));
            values.append(item.value);
        }
        QTest::newRow(name) << texts << values << selected;
    };
    row("组合框_20以内范围",
        {{"1～5分", 5},
         {"1～6分", 6},
         {"1～7分", 7},
         {"1～8分", 8},
         {"1～9分", 9},
         {"1～10分", 10},
         {"1～11分", 11},
         {"1～12分", 12},
         {"1～13分", 13},
         {"1～14分", 14},
         {"1～15分", 15},
         {"1～16分", 16},
         {"1～17分", 17},
         {"1～18分", 18},
         {"1～19分", 19},
         {"1～20分", 20}},
        0);
    row("组合框_时间",
        {{"每题2秒", 20},
         {"每题2.5秒", 25},
         {"每题3秒", 30},
         {"每题4秒", 40},
         {"每题5秒", 50},
         {"每题6秒", 60},
         {"每题7秒", 70},
         {"每题8秒", 80},
         {"每题9秒", 90},
         {"每题10秒", 100},
         {"每题11秒", 110},
         {"不计时", 0}},
        5);
}

void MainWindowTest::comboItems()
{
    QFETCH(QList<QString>, texts);
    QFETCH(QList<int>, values);
    QFETCH(int, selected);

    const auto *combo = child<QComboBox>(QTest::currentDataTag());
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QList<QString> actualTexts;
    QList<int> actualValues;
    for (int i = 0; i < combo->count(); ++i) {
        actualTexts.append(combo->itemText(i));
        actualValues.append(combo->itemData(i, Qt::UserRole).toInt());
    }
    QCOMPARE(actualTexts, texts);
    QCOMPARE(actualValues, values);
    QCOMPARE(combo->currentIndex(), selected);
}

void MainWindowTest::comboBoxesAcceptNoTypedText()
{
    showAndActivate();
    for (const char *name : {"组合框_20以内范围", "组合框_时间"}) {
        auto *combo = child<QComboBox>(name);
        QVERIFY(combo);
        const int count = combo->count();
        QStringList items;
        for (int i = 0; i < count; ++i)
            items.append(combo->itemText(i));
        combo->setFocus();
        QTest::keyClicks(combo, QStringLiteral("abc 12x"));
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u("和"));
        QApplication::sendEvent(combo, &typed);
        QTest::keyClick(combo, Qt::Key_Return);
        QVERIFY(!combo->lineEdit());
        QCOMPARE(combo->count(), count);
        QVERIFY2(items.contains(combo->currentText()), qPrintable(combo->currentText()));
    }
}

void MainWindowTest::droppedListIs160PixelsHighWithTheControl()
{
    showAndActivate();
    for (const char *name : {"组合框_20以内范围", "组合框_时间"}) {
        auto *combo = child<QComboBox>(name);
        QVERIFY(combo);
        combo->showPopup();
        QWidget *list = combo->view()->window();
        QTRY_VERIFY(list->isVisible());
        QCOMPARE(list->height() + combo->height(), 160);
        QCOMPARE(list->geometry().top(), combo->mapToGlobal(QPoint(0, combo->height())).y());
        QCOMPARE(list->geometry().left(), combo->mapToGlobal(QPoint(0, 0)).x());
        QVERIFY2(combo->view()->verticalScrollBar()->isVisible() ||
                     combo->view()->verticalScrollBar()->maximum() == 0,
                 "items that do not fit scroll");

        // One pixel taller than a plain combo box's items in the same font.
        QComboBox plain;
        plain.setStyle(combo->style());
        plain.setFont(combo->font());
        plain.addItem(combo->itemText(0));
        const int normal = plain.view()->sizeHintForRow(0);
        QCOMPARE(combo->view()->sizeHintForRow(0), normal + 1);
        QCOMPARE(combo->view()->visualRect(combo->model()->index(1, 0)).height(), normal + 1);

        combo->hidePopup();
        QTRY_VERIFY(!list->isVisible());
    }
}

void MainWindowTest::wideCaptionsAreCutOnBothSides_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("the initial 数1") << u("数1");
    QTest::newRow("an ampersand stays an ampersand") << u("1&2");
}

void MainWindowTest::wideCaptionsAreCutOnBothSides()
{
    QFETCH(QString, caption);
    auto *label = child<QLabel>("标签_20以内数1");
    QVERIFY(label);
    label->setText(caption);
    showAndActivate();
    QVERIFY(label->fontMetrics().horizontalAdvance(caption) > label->width());

    // The same caption centred in a box wide enough for all of it: the label must show
    // exactly its middle.
    const QSize size = label->size();
    constexpr int margin = 100;
    QImage wide(size.width() + 2 * margin, size.height(), QImage::Format_ARGB32_Premultiplied);
    wide.fill(buttonFace());
    {
        QPainter painter(&wide);
        painter.setFont(label->font());
        painter.setPen(Qt::black);
        painter.drawText(wide.rect(), Qt::AlignCenter | Qt::TextSingleLine, caption);
    }
    const QImage shown = label->grab().toImage().convertToFormat(wide.format());
    QCOMPARE(shown.size(), size);
    // Text positions round differently in boxes of different widths: allow a one-pixel shift
    // and a few pixels of anti-aliasing.
    int fewestDifferent = shown.width() * shown.height();
    for (const int shift : {-1, 0, 1}) {
        const QImage expected = wide.copy(margin + shift, 0, size.width(), size.height());
        int different = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                different += std::abs(qGray(shown.pixel(x, y)) - qGray(expected.pixel(x, y))) > 96;
        fewestDifferent = std::min(fewestDifferent, different);
    }
    QVERIFY2(fewestDifferent < size.width() * size.height() / 100,
             qPrintable(QString::number(fewestDifferent)));

    const auto inkIn = [&wide](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 0; y < wide.height(); ++y)
                if (qGray(wide.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    QVERIFY2(inkIn(0, margin), "cut on the left");
    QVERIFY2(inkIn(margin + size.width(), wide.width()), "cut on the right");
}

void MainWindowTest::pictures()
{
    showAndActivate();
    auto *diagram = child<quarnel::ui::PictureBox>("图片框1");
    QVERIFY(diagram && diagram->hasPicture());
    const QImage source(u(":/assets/split_diagram.gif"));
    QCOMPARE(source.size(), QSize(421, 238));
    const QImage shown = diagram->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.copy(0, 0, 421, 238), source.convertToFormat(QImage::Format_RGB32));
    // The rest of the box shows its background.
    QCOMPARE(shown.pixelColor(425, 100), buttonFace());
    QCOMPARE(shown.pixelColor(100, 239), buttonFace());

    auto *banner = child<quarnel::ui::PictureBox>("图片框2");
    QVERIFY(banner && banner->hasPicture());
    QCOMPARE(banner->frameCount(), 19);
    // Whichever frame is showing, it fills the whole box.
    const QImage shownBanner = banner->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImageReader reader(u(":/assets/banner.gif"));
    reader.setScaledSize(QSize(443, 61));
    bool matchesAFrame = false;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
        matchesAFrame = matchesAFrame || frame.convertToFormat(QImage::Format_RGB32) == shownBanner;
    QVERIFY(matchesAFrame);
    // It plays: the frames advance while the window is open.
    QTRY_VERIFY_WITH_TIMEOUT(banner->currentFrame() > 1, 5000);
}

void MainWindowTest::beforeStartNothingRuns()
{
    const auto *timer = child<PreciseTimer>("时钟1");
    QVERIFY(timer);
    QCOMPARE(timer->parent()->objectName(), u("分组框_20以内分开关"));
    QVERIFY(!timer->isRunning());
    QCOMPARE(m_window->timerPeriod(), 0);
    QCOMPARE(m_window->drill().state().problemCount, 0);
    QCOMPARE(m_window->drill().state().limit, 0);
}

void MainWindowTest::startWithUntouchedSelectorsReadsLimit5And6000ms()
{
    showAndActivate();
    QTest::mouseClick(child("按钮_20以内分"), Qt::LeftButton);

    QCOMPARE(m_window->drill().state().limit, 5);
    QCOMPARE(m_window->timerPeriod(), 6000);
    QVERIFY(child<PreciseTimer>("时钟1")->isRunning());
    QVERIFY(!child("组合框_20以内范围")->isEnabled());
    QVERIFY(!child("组合框_时间")->isEnabled());
    QVERIFY2(child("按钮_20以内分")->isEnabled(), "Start can be pressed again");

    // The first problem is on the labels at once.
    const int whole = child<QLabel>("标签_20以内的和")->text().toInt();
    const int part1 = child<QLabel>("标签_20以内数1")->text().toInt();
    const int part2 = child<QLabel>("标签_20以内数2")->text().toInt();
    QVERIFY(0 <= part1 && part1 <= whole && whole <= 5);
    QCOMPARE(part1 + part2, whole);
    QCOMPARE(child<QLabel>("标签_出题数量")->text(),
             QString::number(m_window->drill().state().problemCount));
}

void MainWindowTest::stopClearsTheCounterAndFreesTheSelectors()
{
    showAndActivate();
    QTest::mouseClick(child("按钮_20以内分"), Qt::LeftButton);
    const QString whole = child<QLabel>("标签_20以内的和")->text();
    QTest::mouseClick(child("按钮_停止"), Qt::LeftButton);

    QCOMPARE(m_window->timerPeriod(), 0);
    QVERIFY(!child<PreciseTimer>("时钟1")->isRunning());
    QCOMPARE(child<QLabel>("标签_出题数量")->text(), QString());
    QVERIFY(child("组合框_20以内范围")->isEnabled());
    QVERIFY(child("组合框_时间")->isEnabled());
    QCOMPARE(child<QLabel>("标签_20以内的和")->text(), whole);
}

void MainWindowTest::selectorChangesRunNoCode()
{
    showAndActivate();
    child<QComboBox>("组合框_20以内范围")->setCurrentIndex(15);
    child<QComboBox>("组合框_时间")->setCurrentIndex(0);
    QTest::mouseClick(child("标签_20以内的和"), Qt::LeftButton);
    QTest::mouseClick(child("图片框1"), Qt::LeftButton);
    QTest::mouseClick(child("分组框_20以内分开关"), Qt::LeftButton);

    QCOMPARE(child<QLabel>("标签_20以内的和")->text(), u("和"));
    QCOMPARE(child<QLabel>("标签_出题数量")->text(), u("0"));
    QCOMPARE(m_window->timerPeriod(), 0);
    QCOMPARE(m_window->drill().state().limit, 0);
}

void MainWindowTest::aboutButtonAsksForTheAboutWindow()
{
    showAndActivate();
    QSignalSpy about(m_window.get(), &MainWindow::aboutRequested);
    QTest::mouseClick(child("按钮1"), Qt::LeftButton);
    QCOMPARE(about.count(), 1);
    QCOMPARE(m_window->drill().state().problemCount, 0);
}

void MainWindowTest::radioButtonsStartUnmarkedAndFormOneGroup()
{
    showAndActivate();
    const QStringList names{u("单选框_和隐藏"), u("单选框_数1隐藏"), u("单选框_数2隐藏"),
                            u("单选框_全部显示")};
    const auto marked = [&] {
        QStringList result;
        for (const QString &name : names)
            if (m_window->findChild<QRadioButton *>(name)->isChecked())
                result.append(name);
        return result;
    };
    QCOMPARE(marked(), QStringList());
    for (const QString &name : names) {
        QTest::mouseClick(m_window->findChild<QRadioButton *>(name), Qt::LeftButton);
        QCOMPARE(marked(), QStringList{name});
    }
}

void MainWindowTest::hidingModes_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<bool>("part1");
    QTest::addColumn<bool>("part2");

    // Each mode after one that hides another label: every handler writes all three.
    QTest::newRow("单选框_全部显示") << u("单选框_和隐藏") << true << true << true;
    QTest::newRow("单选框_数2隐藏") << u("单选框_数1隐藏") << true << true << false;
    QTest::newRow("单选框_数1隐藏") << u("单选框_和隐藏") << true << false << true;
    QTest::newRow("单选框_和隐藏") << u("单选框_数2隐藏") << false << true << true;
}

void MainWindowTest::hidingModes()
{
    QFETCH(QString, before);
    QFETCH(bool, whole);
    QFETCH(bool, part1);
    QFETCH(bool, part2);

    showAndActivate();
    QTest::mouseClick(m_window->findChild<QRadioButton *>(before), Qt::LeftButton);
    QTest::mouseClick(child(QTest::currentDataTag()), Qt::LeftButton);

    QCOMPARE(child("标签_20以内的和")->isVisible(), whole);
    QCOMPARE(child("标签_20以内数1")->isVisible(), part1);
    QCOMPARE(child("标签_20以内数2")->isVisible(), part2);
    QVERIFY2(child("分组框_20_以内分")->isVisible(), "the display itself stays");
    QVERIFY(child("图片框1")->isVisible());
}

void MainWindowTest::clickOnTheMarkedRadioButtonRunsItsHandlerAgain()
{
    showAndActivate();
    auto *hideWhole = child<QRadioButton>("单选框_和隐藏");
    QSignalSpy clicks(hideWhole, &QAbstractButton::clicked);
    QTest::mouseClick(hideWhole, Qt::LeftButton);
    QVERIFY(!child("标签_20以内的和")->isVisible());

    // Something else shows the label again; a second click on the marked button hides it.
    child("标签_20以内的和")->show();
    QTest::mouseClick(hideWhole, Qt::LeftButton);
    QCOMPARE(clicks.count(), 2);
    QVERIFY(hideWhole->isChecked());
    QVERIFY(!child("标签_20以内的和")->isVisible());
}

void MainWindowTest::hiddenLabelKeepsReceivingCaptions()
{
    showAndActivate();
    QTest::mouseClick(child("单选框_和隐藏"), Qt::LeftButton);
    child<QComboBox>("组合框_20以内范围")->setCurrentIndex(15);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(child("按钮_20以内分"), Qt::LeftButton);
    QVERIFY2(!child("标签_20以内的和")->isVisible(), "Start does not show a hidden label");
    QTest::mouseClick(child("按钮_停止"), Qt::LeftButton);
    QVERIFY2(!child("标签_20以内的和")->isVisible(), "nor does Stop");

    QTest::mouseClick(child("单选框_全部显示"), Qt::LeftButton);
    auto *whole = child<QLabel>("标签_20以内的和");
    QVERIFY(whole->isVisible());
    QCOMPARE(whole->text(), QString::number(m_window->drill().state().whole));
}

void MainWindowTest::escapeCloses_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("window") << u("MainWindow");
    for (const char *name :
         {"单选框_全部显示", "单选框_数2隐藏", "单选框_数1隐藏", "单选框_和隐藏", "按钮1",
          "按钮_停止", "组合框_时间", "按钮_20以内分", "组合框_20以内范围"})
        QTest::newRow(name) << u(name);
}

void MainWindowTest::escapeCloses()
{
    QFETCH(QString, focus);
    showAndActivate();
    QWidget *target =
        focus == u("MainWindow") ? m_window.get() : m_window->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);

    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
}

void MainWindowTest::firstEscapeWithADroppedListOnlyClosesTheList()
{
    showAndActivate();
    auto *combo = child<QComboBox>("组合框_时间");
    combo->setFocus();
    combo->showPopup();
    QWidget *list = combo->view()->window();
    QTRY_VERIFY(list->isVisible());
    QTRY_VERIFY(QApplication::activePopupWidget());

    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!list->isVisible());
    QVERIFY(m_window->isVisible());
    QCOMPARE(combo->currentIndex(), 5);

    QTRY_COMPARE(QApplication::focusWidget(), combo);
    QTest::keyClick(combo, Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
