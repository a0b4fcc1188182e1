#include "main_window.h"

#include "assets/embedded_assets.h"
#include "engine/answer_hiding.h"
#include "ui/main_window_table.h"
#include "ui/main_window_view.h"
#include "ui/outer_geometry.h"
#include "ui/precise_timer.h"
#include "ui/tick_player.h"
#include "ui/window_builder.h"

#include <QAbstractButton>
#include <QFile>
#include <QKeyEvent>

namespace quarnel::ui {

namespace {

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool isEscape(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
}

} // namespace

MainWindow::MainWindow(NumberSource &numbers, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    const WindowDef &def = mainWindowDef();
    applyWindowLooks(*this, def);
    buildControls(*this, def);
    m_geometry = new OuterGeometry(*this, QSize(def.outerWidth, def.outerHeight));

    m_timer = findChild<PreciseTimer *>(QStringLiteral("时钟1"));
    m_tick = new TickPlayer(resourceBytes(assetPath(Asset::TickSound)), this);
    m_view = std::make_unique<MainWindowView>(*this, *m_timer, *m_tick);
    m_drill = std::make_unique<Drill>(*m_view, numbers);
    bindEvents();

    // Esc closes the window from any of its controls. A window-wide QShortcut would also fire
    // while a combo box's list is dropped down and close list and window at once; the list is
    // a popup of its own, outside these filters, so there the first Esc closes only the list.
    for (const ControlDef &control : def.controls) {
        if (auto *widget = findChild<QWidget *>(tableText(control.name)))
            widget->installEventFilter(this);
    }
}

MainWindow::~MainWindow() = default;

std::int32_t MainWindow::timerPeriod() const
{
    return m_view->timerPeriod();
}

void MainWindow::bindEvents()
{
    // Every event that runs program code; nothing else does.
    const auto onClick = [this](const char *name, auto handler) {
        auto *button = findChild<QAbstractButton *>(QString::fromUtf8(name));
        Q_ASSERT_X(button, "MainWindow", name);
        connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick("按钮_20以内分", [this] { m_drill->startDrill(); });
    onClick("按钮_停止", [this] { m_drill->stopDrill(); });
    connect(m_timer, &PreciseTimer::tick, this, [this] { m_drill->onDrillTick(); });
    onClick("单选框_和隐藏", [this] { hideWhole(*m_view); });
    onClick("单选框_数1隐藏", [this] { hidePart1(*m_view); });
    onClick("单选框_数2隐藏", [this] { hidePart2(*m_view); });
    onClick("单选框_全部显示", [this] { showAllNumbers(*m_view); });
    onClick("按钮1", [this] { emit aboutRequested(); });
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (isEscape(event)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (isEscape(event)) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quarnel::ui
