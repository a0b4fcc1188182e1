#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QTimer>

class QWidget;

namespace quarnel::ui {

// Holds a top-level window at a fixed outer size, frame and title bar included, centred on
// its whole screen (not the work area). Qt sizes the client area only, and an X11 window
// manager reports its frame (_NET_FRAME_EXTENTS) only shortly after the window is mapped:
// until then the window is sized for fallbackFrame, and then once more for the real frame.
class OuterGeometry final : public QObject
{
    Q_OBJECT

public:
    // Openbox's default theme: one-pixel borders and a 20-pixel title bar.
    static constexpr QMargins fallbackFrame{1, 20, 1, 1}; // left, top, right, bottom

    OuterGeometry(QWidget &window, QSize outerSize);

    [[nodiscard]] QMargins frame() const { return m_frame; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] QRect clientGeometry(QMargins frame) const;
    void apply(QMargins frame);
    void checkFrame();

    QWidget &m_window;
    QSize m_outer;
    QMargins m_frame = fallbackFrame;
    QTimer m_watch;
    QElapsedTimer m_sinceShown;
};

} // namespace quarnel::ui
