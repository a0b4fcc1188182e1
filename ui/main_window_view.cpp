#include "main_window_view.h"

#include "ui/precise_timer.h"
#include "ui/tick_player.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

namespace quarnel::ui {

namespace {

template<typename T>
T *control(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromUtf8(name));
    Q_ASSERT_X(found, "MainWindowView", name);
    return found;
}

} // namespace

MainWindowView::MainWindowView(QWidget &window, PreciseTimer &timer, TickPlayer &tick)
    : m_labels{control<QLabel>(window, "标签_20以内的和"),
               control<QLabel>(window, "标签_20以内数1"), control<QLabel>(window, "标签_20以内数2"),
               control<QLabel>(window, "标签_出题数量")}
    , m_selectors{control<QComboBox>(window, "组合框_20以内范围"),
                  control<QComboBox>(window, "组合框_时间")}
    , m_period(timer)
    , m_tick(tick)
{}

QLabel &MainWindowView::label(Label which) const
{
    return *m_labels.at(static_cast<std::size_t>(which));
}

QComboBox &MainWindowView::selector(Selector which) const
{
    return *m_selectors.at(static_cast<std::size_t>(which));
}

void MainWindowView::setCaption(Label which, std::string_view text)
{
    label(which).setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void MainWindowView::setLabelVisible(Label which, bool visible)
{
    label(which).setVisible(visible);
}

int MainWindowView::selectedIndex(Selector which) const
{
    return selector(which).currentIndex();
}

int MainWindowView::itemValue(Selector which, int index) const
{
    const QComboBox &combo = selector(which);
    if (index < 0 || index >= combo.count())
        return -1;
    return combo.itemData(index).toInt();
}

void MainWindowView::setSelectorEnabled(Selector which, bool enabled)
{
    selector(which).setEnabled(enabled);
}

void MainWindowView::setTimerPeriod(std::int32_t milliseconds)
{
    m_period.setPeriod(milliseconds);
}

void MainWindowView::playTick()
{
    // The new problem is painted first. Starting the sound waits on round trips to the sound
    // server (connecting for the first tick, resuming the stream for the others), and the
    // repaint, left to the event loop, came after them: up to 28 ms late on a busy machine.
    QCoreApplication::sendPostedEvents(m_labels.front()->window(), QEvent::UpdateRequest);
    m_tick.play();
}

} // namespace quarnel::ui
