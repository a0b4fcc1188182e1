// The main window on a real X server under a real window manager (run by with-x11.sh): its
// outer size and place as the X server and openbox see them, the numbers standing inside
// the diagram's boxes on the screen's own pixels, and the pace of a timed drill.
#include "engine/random_source.h"
#include "ui/main_window.h"
#include "ui/precise_timer.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <memory>

using quarnel::RandomSource;
using quarnel::ui::MainWindow;
using quarnel::ui::PreciseTimer;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

int field(const QString &text, const char *pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(u(pattern)).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// What the X server and the window manager say about a client window.
struct XWindow
{
    QRect client;
    QMargins extents; // _NET_FRAME_EXTENTS
    QSize screen;
    QString normalHints;
    QString allowedActions;

    [[nodiscard]] QRect outer() const { return client + extents; }
};

XWindow inspect(WId id)
{
    const QString hex = QStringLiteral("0x%1").arg(id, 0, 16);
    const QString info = run(u("xwininfo"), {u("-id"), hex});
    const QString root = run(u("xwininfo"), {u("-root")});
    const QString props = run(u("xprop"), {u("-id"), hex, u("_NET_FRAME_EXTENTS"),
                                           u("WM_NORMAL_HINTS"), u("_NET_WM_ALLOWED_ACTIONS")});
    XWindow window;
    window.client = QRect(field(info, R"(Absolute upper-left X:\s+(-?\d+))"),
                          field(info, R"(Absolute upper-left Y:\s+(-?\d+))"),
                          field(info, R"(Width:\s+(\d+))"), field(info, R"(Height:\s+(\d+))"));
    window.screen = QSize(field(root, R"(Width:\s+(\d+))"), field(root, R"(Height:\s+(\d+))"));
    const QRegularExpressionMatch extents =
        QRegularExpression(u(R"(_NET_FRAME_EXTENTS\(CARDINAL\) = (\d+), (\d+), (\d+), (\d+))"))
            .match(props);
    if (extents.hasMatch()) {
        // left, right, top, bottom
        window.extents = QMargins(extents.captured(1).toInt(), extents.captured(3).toInt(),
                                  extents.captured(2).toInt(), extents.captured(4).toInt());
    }
    window.normalHints = props.section(u("WM_NORMAL_HINTS"), 1).section(u("_NET_WM_"), 0, 0);
    window.allowedActions = props.section(u("_NET_WM_ALLOWED_ACTIONS"), 1);
    return window;
}

bool isDark(QRgb pixel)
{
    return qGray(pixel) < 80;
}

bool isOutlineGrey(QRgb pixel)
{
    const int spread = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) -
                       std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    return spread < 24 && qGray(pixel) > 60 && qGray(pixel) < 225;
}

} // namespace

class MainWindowX11Test : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void outerSizeAndCentredPlace();
    void numbersStandInsideTheDiagramBoxes();
    void aNewProblemEvery2000ms();

private:
    template<typename T = QWidget>
    T *child(const char *name) const
    {
        return m_window->findChild<T *>(u(name));
    }
    void showAndSettle();

    RandomSource m_numbers;
    std::unique_ptr<MainWindow> m_window;
};

void MainWindowX11Test::initTestCase()
{
    if (QGuiApplication::platformName() != u("xcb"))
        QFAIL("needs an X server: run through tests/e2e/with-x11.sh");
    m_numbers.seedRandom(4);
}

void MainWindowX11Test::init()
{
    m_window = std::make_unique<MainWindow>(m_numbers);
}

void MainWindowX11Test::cleanup()
{
    m_window.reset();
}

void MainWindowX11Test::showAndSettle()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // The window manager reports its frame shortly after mapping; the window then fits itself.
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->windowHandle()->frameMargins().isNull(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->frameGeometry().size(), QSize(435, 449), 5000);
}

void MainWindowX11Test::outerSizeAndCentredPlace()
{
    showAndSettle();
    const QRect expected = [&] {
        const XWindow x = inspect(m_window->winId());
        return QRect((x.screen.width() - 435) / 2, (x.screen.height() - 449) / 2, 435, 449);
    }();
    QTRY_COMPARE_WITH_TIMEOUT(inspect(m_window->winId()).outer(), expected, 5000);

    const XWindow x = inspect(m_window->winId());
    QVERIFY2(!x.extents.isNull(), "openbox reports its frame");
    qInfo() << "frame extents (left, top, right, bottom):" << x.extents << "client" << x.client;

    // Not resizable: the window asks for one size only, and openbox offers no resizing and
    // no maximizing.
    const QString size = QStringLiteral("%1 by %2").arg(x.client.width()).arg(x.client.height());
    QVERIFY2(x.normalHints.contains(u("program specified minimum size: ") + size) &&
                 x.normalHints.contains(u("program specified maximum size: ") + size),
             qPrintable(x.normalHints));
    QVERIFY2(!x.allowedActions.contains(u("RESIZE")), qPrintable(x.allowedActions));
    QVERIFY2(!x.allowedActions.contains(u("MAXIMIZE")), qPrintable(x.allowedActions));
    QVERIFY2(x.allowedActions.contains(u("_NET_WM_ACTION_CLOSE")), qPrintable(x.allowedActions));
}

void MainWindowX11Test::numbersStandInsideTheDiagramBoxes()
{
    // The diagram's box outlines in the coordinates of 分组框_20_以内分.
    struct Box
    {
        const char *label;
        QRect outline;
    };
    const Box boxes[] = {
        {"标签_20以内的和", QRect(QPoint(153, 18), QPoint(257, 81))},
        {"标签_20以内数1", QRect(QPoint(114, 170), QPoint(189, 233))},
        {"标签_20以内数2", QRect(QPoint(227, 170), QPoint(302, 233))},
    };

    showAndSettle();
    const QWidget *display = child("分组框_20_以内分");
    QVERIFY(display);
    child<QComboBox>("组合框_20以内范围")->setCurrentIndex(15); // up to 20: the widest numbers

    for (int problem = 0; problem < 8; ++problem) {
        QTest::mouseClick(child("按钮_20以内分"), Qt::LeftButton);
        // Paint now: the X server handles the painted image before the screen is read back,
        // as both go over the one connection.
        m_window->repaint();
        QTest::qWait(50);
        const QImage screen = m_window->screen()->grabWindow(0).toImage();
        const QPoint origin =
            display->mapToGlobal(QPoint(0, 0)) - m_window->screen()->geometry().topLeft();
        const auto at = [&](int x, int y) { return screen.pixel(origin + QPoint(x, y)); };

        for (const Box &box : boxes) {
            const QString text = child<QLabel>(box.label)->text();
            // The outline is where the diagram promises it.
            for (const QPoint corner : {box.outline.topLeft(), box.outline.bottomRight()}) {
                QVERIFY2(isOutlineGrey(at(corner.x(), corner.y())),
                         qPrintable(QStringLiteral("%1: no outline at %2,%3")
                                        .arg(u(box.label))
                                        .arg(corner.x())
                                        .arg(corner.y())));
            }

            // Every dark pixel near the box lies inside it, and there are some: the number.
            // Above and below the boxes the diagram's thick strokes begin, so rows stop at the
            // outline there.
            const QRect interior = box.outline.adjusted(1, 1, -1, -1);
            const QRect around(QPoint(box.outline.left() - 20, box.outline.top() + 1),
                               QPoint(box.outline.right() + 20, box.outline.bottom() - 1));
            int inside = 0;
            for (int y = around.top(); y <= around.bottom(); ++y) {
                for (int x = around.left(); x <= around.right(); ++x) {
                    if (!isDark(at(x, y)))
                        continue;
                    QVERIFY2(interior.contains(x, y),
                             qPrintable(QStringLiteral("%1 shows \"%2\": ink at %3,%4 outside "
                                                       "the box")
                                            .arg(u(box.label), text)
                                            .arg(x)
                                            .arg(y)));
                    ++inside;
                }
            }
            QVERIFY2(
                inside > 50,
                qPrintable(QStringLiteral("%1 shows \"%2\" but no ink").arg(u(box.label), text)));
        }
    }
}

void MainWindowX11Test::aNewProblemEvery2000ms()
{
    showAndSettle();
    auto *pace = child<QComboBox>("组合框_时间");
    QCOMPARE(pace->itemText(0), u("每题2秒"));
    pace->setCurrentIndex(0);

    // The window handles each tick first (it connected first); this records when the new
    // problem's counter stands on the label.
    QElapsedTimer clock;
    QList<qint64> shownAt;
    QStringList counters;
    const auto *counter = child<QLabel>("标签_出题数量");
    connect(child<PreciseTimer>("时钟1"), &PreciseTimer::tick, this, [&] {
        shownAt.append(clock.elapsed());
        counters.append(counter->text());
    });

    clock.start();
    QTest::mouseClick(child("按钮_20以内分"), Qt::LeftButton);
    const QString first = counter->text();
    QTRY_VERIFY_WITH_TIMEOUT(shownAt.size() >= 5, 15000);
    QTest::mouseClick(child("按钮_停止"), Qt::LeftButton);

    qInfo() << "problems shown at (ms after Start):" << shownAt;
    for (qsizetype i = 0; i < 5; ++i) {
        const qint64 due = 2000 * (i + 1);
        QVERIFY2(qAbs(shownAt[i] - due) <= 100,
                 qPrintable(QStringLiteral("problem %1 at %2 ms, due at %3 ms")
                                .arg(i + 2)
                                .arg(shownAt[i])
                                .arg(due)));
        const int before = i == 0 ? first.toInt() : counters[i - 1].toInt();
        QVERIFY2(counters[i].toInt() > before, "a new problem is counted");
    }
}

QTEST_MAIN(MainWindowX11Test)
#include "tst_main_window_x11.moc"
