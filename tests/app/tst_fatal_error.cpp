// The fatal-error box: its text, and the real box in a child process (it ends the process):
// what it looks like, that nothing of the program runs while it is up, and exit code -1.
// Out-of-memory goes through the same box with the size asked for.
#include "app/fatal_error.h"
#include "child_process.h"

#include <QTest>

using namespace quarnel::testing;

class FatalErrorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void textFollowsCodeAndMessage_data();
    void textFollowsCodeAndMessage();
    void realBoxStopsTheProgramAndEndsWithMinusOne_data();
    void realBoxStopsTheProgramAndEndsWithMinusOne();
    void withoutAWindowSystemTheTextGoesToStderr();
    void failedAllocationShowsTheSizeAskedFor();
    void nothrowAllocationAnswersNullWithoutABox();

private:
    ChildRun runHelper(const QStringList &arguments, const QString &asanOptions = {},
                       const QString &platformName = QStringLiteral("offscreen"));

    QTemporaryDir m_folder;
    QString m_program;
};

void FatalErrorTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_program = installHelperAsProgram(m_folder.path());
    QVERIFY(!m_program.isEmpty());
}

ChildRun FatalErrorTest::runHelper(const QStringList &arguments, const QString &asanOptions,
                                   const QString &platformName)
{
    QProcessEnvironment environment = childEnvironment(m_folder.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platformName);
    if (!asanOptions.isEmpty()) {
        const QString inherited = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           inherited.isEmpty() ? asanOptions : inherited + u':' + asanOptions);
    }
    if (platformName == u"xcb") {
        // A real X server for a real window; xvfb-run picks a free display.
        return runChild(QStandardPaths::findExecutable(QStringLiteral("xvfb-run")),
                        QStringList{QStringLiteral("-a"), m_program} + arguments, m_folder.path(),
                        environment);
    }
    return runChild(m_program, arguments, m_folder.path(), environment);
}

void FatalErrorTest::textFollowsCodeAndMessage_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");

    QTest::newRow("neither") << 0 << QString() << QStringLiteral("运行时出错!\r\n\r\n");
    QTest::newRow("message only") << 0 << QStringLiteral("分配 12 字节内存失败!")
                                  << QStringLiteral(
                                         "运行时出错!\r\n\r\n错误信息：分配 12 字节内存失败!\r\n");
    QTest::newRow("code only") << 5 << QString()
                               << QStringLiteral("运行时出错!\r\n\r\n错误代码：5\r\n\r\n");
    QTest::newRow("negative code and message")
        << -2147483647 - 1 << QStringLiteral("x")
        << QStringLiteral("运行时出错!\r\n\r\n错误代码：-2147483648\r\n\r\n错误信息：x\r\n");
}

void FatalErrorTest::textFollowsCodeAndMessage()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, text);
    QCOMPARE(quarnel::fatalErrorText(code, message), text);
}

void FatalErrorTest::realBoxStopsTheProgramAndEndsWithMinusOne_data()
{
    QTest::addColumn<QString>("platformName");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shownText");

    QTest::newRow("message") << "offscreen" << 0 << QStringLiteral("坏了")
                             << QStringLiteral("运行时出错!\\r\\n\\r\\n错误信息：坏了\\r\\n");
    QTest::newRow("code and message")
        << "offscreen" << 3 << QStringLiteral("坏了")
        << QStringLiteral("运行时出错!\\r\\n\\r\\n错误代码：3\\r\\n\\r\\n错误信息：坏了\\r\\n");
    QTest::newRow("on an X server")
        << "xcb" << 0 << QStringLiteral("坏了")
        << QStringLiteral("运行时出错!\\r\\n\\r\\n错误信息：坏了\\r\\n");
}

void FatalErrorTest::realBoxStopsTheProgramAndEndsWithMinusOne()
{
    QFETCH(QString, platformName);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, shownText);

    if (platformName == u"xcb" &&
        QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        QSKIP("needs xvfb-run for an X server");
    const ChildRun run =
        runHelper({QStringLiteral("fatal"), QString::number(code), message}, {}, platformName);
    QVERIFY2(run.finished, qPrintable(run.err));
    QCOMPARE(run.exitCode, 255);

    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    const auto showing = lines.indexOf(QStringLiteral("showing"));
    QVERIFY2(showing > 0 && lines.first() == u"tick", qPrintable(run.out)); // the timer did run
    QCOMPARE(
        lines.mid(showing + 1),
        (QStringList{QStringLiteral("box up: visible=1 modal=application parent=none"),
                     QStringLiteral("box caption=错误 icon=error buttons=ok text=") + shownText}));
    // Up for 300 ms while the timer wanted to tick every 10 ms and a queued call waited: no
    // handler of the program ran, and nothing after the box either.
}

void FatalErrorTest::withoutAWindowSystemTheTextGoesToStderr()
{
    const ChildRun run = runHelper({QStringLiteral("fatal-no-app")});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 255);
    QVERIFY2(run.err.endsWith(
                 QStringLiteral("运行时出错!\r\n\r\n错误代码：7\r\n\r\n错误信息：no window\r\n")),
             qPrintable(run.err));
}

void FatalErrorTest::failedAllocationShowsTheSizeAskedFor()
{
    // Sanitizer builds have their own allocator; it must answer null here, as malloc does.
    const ChildRun run =
        runHelper({QStringLiteral("oom")}, QStringLiteral("allocator_may_return_null=1"));
    QVERIFY2(run.finished, qPrintable(run.err));
    QCOMPARE(run.exitCode, 255);
    QVERIFY2(run.out.contains(QStringLiteral(
                 "box caption=错误 icon=error buttons=ok text=运行时出错!\\r\\n\\r\\n"
                 "错误信息：分配 4611686018427387904 字节内存失败!\\r\\n\n")),
             qPrintable(run.out + run.err));
    QVERIFY(!run.out.contains(QStringLiteral("allocated")));
}

void FatalErrorTest::nothrowAllocationAnswersNullWithoutABox()
{
    const ChildRun run =
        runHelper({QStringLiteral("oom-nothrow")}, QStringLiteral("allocator_may_return_null=1"));
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("null\n"));
}

QTEST_GUILESS_MAIN(FatalErrorTest)
#include "tst_fatal_error.moc"
