#pragma once

#include "engine/drill.h"
#include "engine/random_source.h"

#include <QWidget>

#include <memory>

namespace quarnel::ui {

class MainWindowView;
class OuterGeometry;
class PreciseTimer;
class TickPlayer;

// The program's main window, built from the table in main_window_table.cpp. It owns the
// drill and binds the drill's and the hiding modes' handlers to its controls; the numbers
// come from `numbers`, which must outlive the window. The window is created hidden, at its
// centred place; show() it when start-up is done.
class MainWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(NumberSource &numbers, QWidget *parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] const Drill &drill() const { return *m_drill; }
    // The period of 时钟1 in milliseconds; 0 while it is stopped.
    [[nodiscard]] std::int32_t timerPeriod() const;

signals:
    // 按钮1 was clicked: the About window is wanted.
    void aboutRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindEvents();

    OuterGeometry *m_geometry = nullptr;
    TickPlayer *m_tick = nullptr;
    PreciseTimer *m_timer = nullptr;
    std::unique_ptr<MainWindowView> m_view;
    std::unique_ptr<Drill> m_drill;
};

} // namespace quarnel::ui
