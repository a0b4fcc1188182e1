#pragma once

#include <QDialog>
#include <QString>

#include <functional>

namespace quarnel::ui {

class OuterGeometry;

// The About window: what the program is for, and a red link to the maker's web page.
class AboutWindow final : public QDialog
{
    Q_OBJECT

public:
    using AddressOpener = std::function<void(const QString &address)>;

    // Every left-button press on the link hands homePageText to openAddress.
    AboutWindow(const QString &homePageText, AddressOpener openAddress, QWidget *parent = nullptr);

private:
    void fitLinkOverGap();

    OuterGeometry *m_geometry = nullptr;
};

// Builds the About window afresh, runs it modally and returns once it is closed. No other
// window takes input meanwhile, while their timers, and with them the drill, go on.
void showAboutWindow(const QString &homePageText, const AboutWindow::AddressOpener &openAddress);

} // namespace quarnel::ui
