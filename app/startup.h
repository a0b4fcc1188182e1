#pragma once

#include <QString>

namespace quarnel {

// The maker's web address, a build setting: without its scheme (the About link shows and
// opens this one) and as a full "http://" URL (opened at start-up and at close).
[[nodiscard]] QString homePageText();
[[nodiscard]] QString homePageUrl();

// The main window's created event: seeds the drill's numbers, applies skin 13 and opens the
// home page, before the window is first shown.
void onMainWindowCreated();
// The main window's will-be-destroyed event: opens the home page once more.
void onMainWindowDestroying();

// A whole run, from the main window's creation to the exit code, inside an existing
// QApplication: 0 after a normal close. A fatal error ends the process from within.
int runQuarnel();

} // namespace quarnel
