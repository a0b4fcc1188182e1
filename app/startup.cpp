#include "app/startup.h"

#include "app/home_page.h"
#include "app/platform.h"
#include "app/skin_deployment.h"
#include "engine/random_source.h"
#include "ui/about_window.h"
#include "ui/main_window.h"

#include <QApplication>

#include <memory>

namespace quarnel {

namespace {

// The drill's one random source lives for the whole run, seeded once at start-up.
RandomSource &drillNumbers()
{
    static RandomSource numbers;
    return numbers;
}

constexpr std::int32_t startupSkin = 13;

} // namespace

QString homePageText()
{
    return QString::fromUtf8(homePageAddress);
}

QString homePageUrl()
{
    return QStringLiteral("http://") + homePageText();
}

void onMainWindowCreated()
{
    drillNumbers().seedRandom(platform::tickCount());
    applySkin(startupSkin);
    platform::openWebAddress(homePageUrl());
}

void onMainWindowDestroying()
{
    platform::openWebAddress(homePageUrl());
}

int runQuarnel()
{
    auto window = std::make_unique<ui::MainWindow>(drillNumbers());
    onMainWindowCreated();
    QObject::connect(window.get(), &ui::MainWindow::aboutRequested, window.get(),
                     [] { ui::showAboutWindow(homePageText(), &platform::openWebAddress); });
    window->show();

    // The loop ends when the last window has closed; the About window cannot outlive the
    // main window, since it blocks the main window's close until it is closed itself.
    QApplication::exec();

    // The window is hidden now but still whole: its will-be-destroyed event, then its end.
    onMainWindowDestroying();
    window.reset();
    return 0;
}

} // namespace quarnel
