#include "app/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QWindow>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace quarnel {

namespace {

FatalBoxObserver g_observer = nullptr;
std::atomic<bool> g_failing{false};

// Lets through only what the box and the window system need; everything that would run a
// handler of the program elsewhere is dropped.
class FreezeFilter final : public QObject
{
public:
    explicit FreezeFilter(QMessageBox &box)
        : m_box(box)
    {}

    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (belongsToBox(receiver) || qobject_cast<QWindow *>(receiver) != nullptr)
            return false;
        switch (event->type()) {
        case QEvent::Timer:
        case QEvent::MetaCall:
        case QEvent::SockAct:
        case QEvent::SockClose:
        case QEvent::Close:
        case QEvent::Quit:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }

private:
    bool belongsToBox(const QObject *object) const
    {
        for (; object != nullptr; object = object->parent()) {
            if (object == &m_box)
                return true;
        }
        return false;
    }

    QMessageBox &m_box;
};

[[noreturn]] void endProcess()
{
    std::fflush(nullptr);
    std::_Exit(-1);
}

} // namespace

QString fatalErrorText(int code, const QString &message)
{
    QString text = QStringLiteral("运行时出错!\r\n\r\n");
    if (code != 0)
        text += QStringLiteral("错误代码：%1\r\n\r\n").arg(code);
    if (!message.isEmpty())
        text += QStringLiteral("错误信息：") + message + QStringLiteral("\r\n");
    return text;
}

void showFatalError(int code, const QString &message)
{
    if (g_failing.exchange(true))
        endProcess();

    const QString text = fatalErrorText(code, message);
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        std::fputs(text.toLocal8Bit().constData(), stderr);
        endProcess();
    }

    QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    FreezeFilter freeze(box);
    app->installEventFilter(&freeze);
    if (g_observer != nullptr)
        g_observer(box);
    box.exec();
    endProcess();
}

void setFatalBoxObserver(FatalBoxObserver observer)
{
    g_observer = observer;
}

} // namespace quarnel
