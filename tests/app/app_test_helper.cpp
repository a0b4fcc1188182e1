// A stand-in program for the tests that must end a process: copied into a temporary folder,
// so that its own folder is the run directory, and run there by the tests.
//
//   app_test_helper [--file-size-limit BYTES] COMMAND [ARGUMENTS]
//     apply N          applySkin(N); prints "returned", and "styled" if a style sheet is set
//     fatal CODE TEXT  shows the fatal-error box from inside the event loop, with a timer and
//                      a queued call that must not run while the box is up
//     fatal-no-app     the same without any QApplication
//     oom              asks operator new for 2^62 bytes with the allocation handler installed
//     oom-nothrow      the same through nothrow new; prints "null"
//     web ADDRESS      openWebAddress(ADDRESS) with the system's opener; prints "returned"
//
// Every fatal-error box is real: its caption, icon, buttons and text are printed on stdout
// when it is up, and it is closed with its OK button after a while.
#include "app/allocation_failure.h"
#include "app/fatal_error.h"
#include "app/platform.h"
#include "app/skin_deployment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <new>

#include <sys/resource.h>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

QString escaped(QString text)
{
    return text.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
}

void reportAndCloseBox(QMessageBox &box)
{
    // A child of the box: the box lets its own timers run, and only those.
    auto *closer = new QTimer(&box);
    closer->setSingleShot(true);
    QObject::connect(closer, &QTimer::timeout, &box, [&box] {
        say(QStringLiteral("box up: visible=%1 modal=%2 parent=%3")
                .arg(box.isVisible())
                .arg(box.windowModality() == Qt::ApplicationModal ? QStringLiteral("application")
                                                                  : QStringLiteral("other"))
                .arg(box.parentWidget() == nullptr ? QStringLiteral("none")
                                                   : QStringLiteral("some")));
        say(QStringLiteral("box caption=%1 icon=%2 buttons=%3 text=%4")
                .arg(box.windowTitle())
                .arg(box.icon() == QMessageBox::Critical ? QStringLiteral("error")
                                                         : QStringLiteral("other"))
                .arg(box.buttons().size() == 1 && box.standardButtons() == QMessageBox::Ok
                         ? QStringLiteral("ok")
                         : QStringLiteral("other"))
                .arg(escaped(box.text())));
        box.button(QMessageBox::Ok)->click();
    });
    closer->start(300);
}

int apply(int number)
{
    quarnel::applySkin(number);
    say(QStringLiteral("returned"));
    if (!qApp->styleSheet().isEmpty())
        say(QStringLiteral("styled"));
    return 0;
}

int fatal(int code, const QString &message)
{
    QWidget window;
    window.show();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [] { say(QStringLiteral("tick")); });
    ticker.start(10);
    QTimer::singleShot(100, &window, [code, message, &window] {
        QMetaObject::invokeMethod(
            &window, [] { say(QStringLiteral("queued call ran")); }, Qt::QueuedConnection);
        say(QStringLiteral("showing"));
        quarnel::showFatalError(code, message);
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.value(0) == u"--file-size-limit") {
        // Writes past the limit fail with EFBIG, as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{arguments.value(1).toULong(), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        arguments = arguments.mid(2);
    }
    const QString command = arguments.value(0);

    if (command == u"fatal-no-app")
        quarnel::showFatalError(7, QStringLiteral("no window"));
    if (command == u"oom-nothrow") {
        volatile std::size_t huge = std::size_t{1} << 62;
        quarnel::installAllocationFailureHandler();
        say(new (std::nothrow) char[huge] == nullptr ? QStringLiteral("null")
                                                     : QStringLiteral("memory"));
        return 0;
    }

    QApplication app(argc, argv);
    quarnel::setFatalBoxObserver(reportAndCloseBox);

    if (command == u"apply")
        return apply(arguments.value(1).toInt());
    if (command == u"fatal")
        return fatal(arguments.value(1).toInt(), arguments.value(2));
    if (command == u"oom") {
        quarnel::installAllocationFailureHandler();
        volatile std::size_t huge = std::size_t{1} << 62;
        void *memory = ::operator new(huge);
        say(QStringLiteral("allocated %1").arg(memory != nullptr));
        return 0;
    }
    if (command == u"web") {
        quarnel::platform::openWebAddress(arguments.value(1));
        say(QStringLiteral("returned"));
        return 0;
    }
    std::fputs("unknown command\n", stderr);
    return 2;
}
