#include "outer_geometry.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace quarnel::ui {

namespace {

// How long after showing the window its frame may still change.
constexpr int frameWatchMs = 2000;

} // namespace

OuterGeometry::OuterGeometry(QWidget &window, QSize outerSize)
    : QObject(&window)
    , m_window(window)
    , m_outer(outerSize)
{
    apply(m_frame);
    m_window.installEventFilter(this);
    m_watch.setInterval(15);
    connect(&m_watch, &QTimer::timeout, this, &OuterGeometry::checkFrame);
}

bool OuterGeometry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Show) {
        m_sinceShown.start();
        m_watch.start();
    }
    return QObject::eventFilter(watched, event);
}

void OuterGeometry::checkFrame()
{
    const QWindow *handle = m_window.windowHandle();
    if (handle) {
        // Also put the window back if the window manager placed it elsewhere.
        const QMargins frame = handle->frameMargins();
        if (!frame.isNull() && (frame != m_frame || m_window.geometry() != clientGeometry(frame)))
            apply(frame);
    }
    if (!handle || m_sinceShown.elapsed() > frameWatchMs)
        m_watch.stop();
}

QRect OuterGeometry::clientGeometry(QMargins frame) const
{
    QRect outer(QPoint(), m_outer);
    if (const QScreen *screen = m_window.screen()) {
        const QRect whole = screen->geometry();
        outer.moveTo(whole.x() + (whole.width() - m_outer.width()) / 2,
                     whole.y() + (whole.height() - m_outer.height()) / 2);
    }
    return outer - frame;
}

void OuterGeometry::apply(QMargins frame)
{
    // The client geometry, not QWindow::setFramePosition: a frame position set before the
    // window is mapped is lost again when Qt resizes the window for showing it.
    m_frame = frame;
    const QRect client = clientGeometry(frame);
    m_window.setFixedSize(client.size());
    m_window.setGeometry(client);
}

} // namespace quarnel::ui
