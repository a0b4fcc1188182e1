// A whole run inside this process on the offscreen platform: what happens before the main
// window is first shown, what happens at close, and the About window over a running drill.
// The web address goes to a recording opener instead of a browser.
//
// Not here: the real desktop opener and real key presses and clicks on an X server
// (tests/e2e), and a run that ends in the fatal-error box (tests/app/tst_skin_deployment).
#include "app/platform.h"
#include "app/startup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QWidget *mainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("MainWindow"))
            return widget;
    }
    return nullptr;
}

struct Opening
{
    QString address;
    bool windowShown = false;
    bool skinApplied = false;
};

// Runs `step` on the main window every 20 ms once it is on the screen, until it says it is done.
void whenShown(QObject *context, std::function<bool(QWidget &)> step)
{
    auto *poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, step = std::move(step)] {
        QWidget *window = mainWindow();
        if (window && window->isVisible() && step(*window))
            poll->deleteLater();
    });
    poll->start(20);
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void homePageComesFromTheBuildSetting();
    void aRunOpensTheHomePageBeforeShowingAndAtClose_data();
    void aRunOpensTheHomePageBeforeShowingAndAtClose();
    void drillGoesOnWhileTheAboutWindowIsOpen();

private:
    QList<Opening> m_openings;
};

void StartupTest::init()
{
    m_openings.clear();
    quarnel::platform::setWebOpener([this](const QString &address) {
        const QWidget *window = mainWindow();
        m_openings.append({address, window && window->isVisible(), !qApp->styleSheet().isEmpty()});
    });
}

void StartupTest::cleanup()
{
    quarnel::platform::setWebOpener({});
}

void StartupTest::homePageComesFromTheBuildSetting()
{
    QCOMPARE(quarnel::homePageText(), QStringLiteral(QUARNEL_TEST_HOME_PAGE));
    QCOMPARE(quarnel::homePageUrl(), QStringLiteral("http://" QUARNEL_TEST_HOME_PAGE));
}

void StartupTest::aRunOpensTheHomePageBeforeShowingAndAtClose_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("close button") << "close";
    QTest::newRow("Esc on the window") << "esc";
    QTest::newRow("Esc on a control") << "esc-control";
}

void StartupTest::aRunOpensTheHomePageBeforeShowingAndAtClose()
{
    QFETCH(QString, how);

    bool shown = false;
    int openingsWhileShown = -1;
    whenShown(this, [&](QWidget &window) {
        shown = true;
        openingsWhileShown = static_cast<int>(m_openings.size());
        if (how == QStringLiteral("close"))
            window.close();
        else if (how == QStringLiteral("esc"))
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            QTest::keyClick(window.findChild<QWidget *>(QStringLiteral("按钮_停止")),
                            Qt::Key_Escape);
        return true;
    });

    QCOMPARE(quarnel::runQuarnel(), 0);

    QVERIFY(shown);
    QCOMPARE(openingsWhileShown, 1);
    QCOMPARE(m_openings.size(), 2);
    for (const Opening &opening : std::as_const(m_openings))
        QCOMPARE(opening.address, quarnel::homePageUrl());
    QVERIFY2(!m_openings[0].windowShown, "the home page opens before the window is shown");
    QVERIFY2(m_openings[0].skinApplied, "skin 13 is applied before the home page opens");
    QVERIFY2(!m_openings[1].windowShown, "the second opening comes once the window has closed");
    QCOMPARE(mainWindow(), nullptr);
}

void StartupTest::drillGoesOnWhileTheAboutWindowIsOpen()
{
    QString counterBefore;
    QString counterWhileOpen;
    bool mainWindowBlocked = false;

    whenShown(this, [&](QWidget &window) {
        window.findChild<QComboBox *>(QStringLiteral("组合框_时间"))->setCurrentIndex(0); // 2 s
        window.findChild<QAbstractButton *>(QStringLiteral("按钮_20以内分"))->click();
        auto *counter = window.findChild<QLabel *>(QStringLiteral("标签_出题数量"));
        counterBefore = counter->text();

        QTimer::singleShot(2300, &window, [&, counter] {
            auto *about = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!about)
                return;
            counterWhileOpen = counter->text();
            mainWindowBlocked = QApplication::activeModalWidget() != mainWindow();
            QTest::keyClick(about, Qt::Key_Escape);
            QTimer::singleShot(0, mainWindow(), [] { mainWindow()->close(); });
        });
        // Opens the About window and stays in its loop until Esc.
        window.findChild<QAbstractButton *>(QStringLiteral("按钮1"))->click();
        return true;
    });

    QCOMPARE(quarnel::runQuarnel(), 0);

    QCOMPARE(counterBefore, QStringLiteral("1"));
    QCOMPARE(counterWhileOpen, QStringLiteral("2"));
    QVERIFY(mainWindowBlocked);
    QCOMPARE(m_openings.size(), 2);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
