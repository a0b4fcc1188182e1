// The About window on the offscreen platform: its definition, the link over its gap of
// spaces, which presses open the address, and the modal run.
//
// Not here: its outer size and place on a real screen, and the main window's drill going on
// behind it (tests/e2e, under Xvfb and a window manager).
#include "ui/about_window.h"
#include "ui/link_label.h"
#include "ui/picture_box.h"
#include "ui/text_panel.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <memory>

using quarnel::ui::AboutWindow;
using quarnel::ui::LinkLabel;
using quarnel::ui::PictureBox;
using quarnel::ui::TextPanel;

namespace {

const QString address = QStringLiteral("quarnel.example");

const QString aboutText = QStringLiteral(
    "    "
    "本程序完全免费，自动出题进行20以内的口算练习，学生看题口头表述“X可以分成X和X”的形式来练习，"
    "可以进行出题速度的设置，能对出题范围进行修改。\n"
    "    欢迎到我的网站                 走一走。");

enum class Press { Left, Right, LeftDouble };

} // namespace

Q_DECLARE_METATYPE(QList<Press>)

class AboutWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void windowProperties();
    void controls_data();
    void controls();
    void aboutTextKeepsItsSpacesAndBreak();
    void linkIsRedBoldAndLiesInsideTheSentence_data();
    void linkIsRedBoldAndLiesInsideTheSentence();
    void pressesOnTheLink_data();
    void pressesOnTheLink();
    void pressesElsewhereOpenNothing_data();
    void pressesElsewhereOpenNothing();
    void runsModallyUntilEscWhileTimersGoOn();
    void eachOpeningIsBuiltAfresh();

private:
    std::unique_ptr<AboutWindow> m_window;
    QStringList m_opened;
};

void AboutWindowTest::init()
{
    m_opened.clear();
    m_window = std::make_unique<AboutWindow>(
        address, [this](const QString &opened) { m_opened.append(opened); });
}

void AboutWindowTest::windowProperties()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("AboutWindow"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("关于"));
    QVERIFY(!m_window->windowIcon().isNull());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_window->autoFillBackground());
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    // Nothing in the window takes the focus, so Enter and Tab have nothing to act on.
    for (QWidget *child : m_window->findChildren<QWidget *>())
        QCOMPARE(child->focusPolicy(), Qt::NoFocus);
}

void AboutWindowTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("stacking"); // 0 is on top

    QTest::newRow("图片框1") << "图片框1" << QRect(-10, -1, 443, 61) << 0;
    QTest::newRow("标签1") << "标签1" << QRect(2, 64, 432, 104) << 2;
}

void AboutWindowTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(int, stacking);

    auto *control = m_window->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), m_window.get());
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisibleTo(m_window.get()));

    // Qt keeps siblings bottom first.
    QList<QWidget *> topFirst;
    for (QObject *child : m_window->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            topFirst.prepend(widget);
    }
    QCOMPARE(topFirst.indexOf(control), stacking);
    QCOMPARE(topFirst.indexOf(m_window->findChild<QWidget *>(QStringLiteral("透明标签1"))), 1);
}

void AboutWindowTest::aboutTextKeepsItsSpacesAndBreak()
{
    auto *text = m_window->findChild<TextPanel *>(QStringLiteral("标签1"));
    QVERIFY(text);
    QCOMPARE(text->text(), aboutText);
    QCOMPARE(text->frameShadow(), QFrame::Sunken);
    QCOMPARE(text->font().pixelSize(), 19);
    QCOMPARE(text->font().weight(), QFont::Normal);
    QCOMPARE(text->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(text->palette().color(QPalette::WindowText), QColor(Qt::black));

    auto *banner = m_window->findChild<PictureBox *>(QStringLiteral("图片框1"));
    QVERIFY(banner && banner->hasPicture());
    QCOMPARE(banner->frameCount(), 19);
}

void AboutWindowTest::linkIsRedBoldAndLiesInsideTheSentence_data()
{
    QTest::addColumn<QString>("shown");

    QTest::newRow("the default address") << address;
    QTest::newRow("a short address") << QStringLiteral("ab.cd");
    QTest::newRow("a long address") << QStringLiteral("www.a-rather-long-example-domain.example");
}

void AboutWindowTest::linkIsRedBoldAndLiesInsideTheSentence()
{
    QFETCH(QString, shown);

    AboutWindow window(shown, [](const QString &) {});
    auto *link = window.findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    auto *text = window.findChild<TextPanel *>(QStringLiteral("标签1"));
    QVERIFY(link && text);
    QCOMPARE(link->text(), shown);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));
    // Set smaller only when the address would not fit the line at the full height.
    QCOMPARE(link->font().pixelSize() == 19, shown.size() <= 15);
    QCOMPARE(link->font().weight(), QFont::Bold);
    QVERIFY(!link->autoFillBackground());

    // The address must stand between "欢迎到我的网站" and "走一走。", on their line.
    const int gapStart = static_cast<int>(text->text().indexOf(QStringLiteral("网站"))) + 2;
    const int after = static_cast<int>(text->text().indexOf(QStringLiteral("走一走")));
    const QRect before = text->runRect(gapStart - 1, 1).translated(text->pos());
    const QRect following = text->runRect(after, 1).translated(text->pos());
    const int inkWidth = link->fontMetrics().horizontalAdvance(shown);
    QVERIFY2(
        link->x() >= before.right(),
        qPrintable(QStringLiteral("link at %1, gap from %2").arg(link->x()).arg(before.right())));
    QVERIFY2(link->x() + inkWidth <= following.left(),
             qPrintable(QStringLiteral("link ends at %1, text goes on at %2")
                            .arg(link->x() + inkWidth)
                            .arg(following.left())));
    QCOMPARE(following.top(), before.top());
    QVERIFY(link->geometry().contains(QPoint(link->x() + 1, before.center().y())));
    QVERIFY(link->geometry().right() < following.left());
    QVERIFY(text->geometry().contains(following));
}

void AboutWindowTest::pressesOnTheLink_data()
{
    QTest::addColumn<QList<Press>>("presses");
    QTest::addColumn<int>("openings");

    QTest::newRow("one left press") << QList<Press>{Press::Left} << 1;
    QTest::newRow("every left press opens it again")
        << QList<Press>{Press::Left, Press::Left, Press::Left} << 3;
    QTest::newRow("a double click opens it once") << QList<Press>{Press::LeftDouble} << 1;
    QTest::newRow("a right press opens nothing") << QList<Press>{Press::Right} << 0;
}

void AboutWindowTest::pressesOnTheLink()
{
    QFETCH(QList<Press>, presses);
    QFETCH(int, openings);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto *link = m_window->findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    const QPoint onText(5, link->height() / 2);
    for (const Press press : presses) {
        switch (press) {
        case Press::Left:
            QTest::mouseClick(link, Qt::LeftButton, {}, onText);
            break;
        case Press::Right:
            QTest::mouseClick(link, Qt::RightButton, {}, onText);
            break;
        case Press::LeftDouble:
            // What a double click delivers: press, release, double click, release.
            QTest::mouseClick(link, Qt::LeftButton, {}, onText);
            QTest::mouseDClick(link, Qt::LeftButton, {}, onText);
            break;
        }
        QTest::qWait(QApplication::doubleClickInterval() + 50);
    }
    QCOMPARE(m_opened, QStringList(openings, address));
}

void AboutWindowTest::pressesElsewhereOpenNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("besideLink");

    QTest::newRow("the text") << "标签1" << false;
    QTest::newRow("the text line beside the link") << "标签1" << true;
    QTest::newRow("the banner") << "图片框1" << false;
}

void AboutWindowTest::pressesElsewhereOpenNothing()
{
    QFETCH(QString, name);
    QFETCH(bool, besideLink);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto *target = m_window->findChild<QWidget *>(name);
    auto *link = m_window->findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    const QPoint where =
        besideLink ? target->mapFrom(m_window.get(), QPoint(link->x() - 30, link->y() + 12))
                   : QPoint(20, 20);
    QCOMPARE(m_window->childAt(target->mapTo(m_window.get(), where)), target);
    QTest::mouseClick(target, Qt::LeftButton, {}, where);
    QTest::mouseDClick(target, Qt::LeftButton, {}, where);
    QVERIFY(m_opened.isEmpty());
}

void AboutWindowTest::runsModallyUntilEscWhileTimersGoOn()
{
    m_window.reset();
    int ticks = 0;
    QTimer drillTimer;
    drillTimer.setInterval(20);
    connect(&drillTimer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    drillTimer.start();

    QWidget mainWindow;
    mainWindow.show();

    bool wasModal = false;
    int ticksWhileOpen = 0;
    QTimer::singleShot(300, this, [&] {
        auto *about = qobject_cast<AboutWindow *>(QApplication::activeModalWidget());
        wasModal = about && about->isVisible() && about->isModal();
        ticksWhileOpen = ticks;
        if (about)
            QTest::keyClick(about, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, this, [] {
        if (QWidget *stuck = QApplication::activeModalWidget())
            stuck->close();
    });

    quarnel::ui::showAboutWindow(address, [](const QString &) {});

    QVERIFY(wasModal);
    QVERIFY2(ticksWhileOpen >= 5, "timers must keep running inside the modal loop");
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(mainWindow.isEnabled());
}

void AboutWindowTest::eachOpeningIsBuiltAfresh()
{
    auto *link = m_window->findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    link->setText(QStringLiteral("changed"));
    link->move(0, 0);

    AboutWindow again(address, [](const QString &) {});
    auto *freshLink = again.findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    QCOMPARE(freshLink->text(), address);
    QVERIFY(freshLink->pos() != QPoint(0, 0));
    QCOMPARE(again.findChild<TextPanel *>(QStringLiteral("标签1"))->text(), aboutText);
}

QTEST_MAIN(AboutWindowTest)
#include "tst_about_window.moc"
