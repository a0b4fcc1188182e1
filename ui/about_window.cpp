#include "about_window.h"

#include "assets/embedded_assets.h"
#include "ui/link_label.h"
#include "ui/outer_geometry.h"
#include "ui/text_panel.h"
#include "ui/window_builder.h"

#include <array>
#include <utility>

namespace quarnel::ui {

namespace {

using K = ControlKind;
using F = FontStyle;

constexpr const char *window = "AboutWindow";

// Both paragraphs open with four spaces; the 17 spaces of the second make the gap that the
// link lies over.
constexpr const char *aboutText =
    "    本程序完全免费，自动出题进行20以内的口算练习，学生看题口头表述“X可以分成X和X”的形式来"
    "练习，可以进行出题速度的设置，能对出题范围进行修改。\r\n"
    "    欢迎到我的网站                 走一走。";
constexpr std::u16string_view gapLead = u"欢迎到我的网站";
constexpr int gapLength = 17;

// The first row is on top: the link lies over the text.
// clang-format off
constexpr std::array controls{
//  name            kind                  parent  left, top, width × height  tab    caption    font         background
    ControlDef{"图片框1", K::PictureBox, window, {-10, -1, 443, 61}, false, "", F::System, Fill::ButtonFace, Align::Left,
               {}, -1, ":/assets/banner.gif", PictureFit::OwnSize},
    ControlDef{"透明标签1", K::TransparentLabel, window, {180, 138, 192, 24}, false, "", F::TextBold, Fill::Standard, Align::Left,
               {}, -1, {}, PictureFit::OwnSize, Ink::Red},
    ControlDef{"标签1", K::TextPanel, window, {2, 64, 432, 104}, false, aboutText, F::Text, Fill::White, Align::Left},
};
// clang-format on

constexpr WindowDef aboutWindowDef{window, "关于", 444, 198, Fill::White, &programIcon, controls};

} // namespace

AboutWindow::AboutWindow(const QString &homePageText, AddressOpener openAddress, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    applyWindowLooks(*this, aboutWindowDef);
    buildControls(*this, aboutWindowDef);
    m_geometry =
        new OuterGeometry(*this, QSize(aboutWindowDef.outerWidth, aboutWindowDef.outerHeight));

    auto *link = findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    link->setText(homePageText);
    // The address is the program's own constant, not read back from the label.
    connect(link, &LinkLabel::leftButtonPressed, this,
            [open = std::move(openAddress), homePageText] { open(homePageText); });
    fitLinkOverGap();
}

// The gap of spaces was measured for the original face. Here the gap is widened to the link's
// width in whatever face the system has, and the link laid over it, so the red address always
// reads inside the sentence. An address too long for the line is set smaller rather than
// pushing "走一走。" onto a line the label has no room for.
void AboutWindow::fitLinkOverGap()
{
    auto *text = findChild<TextPanel *>(QStringLiteral("标签1"));
    auto *link = findChild<LinkLabel *>(QStringLiteral("透明标签1"));
    const auto gapStart = static_cast<int>(text->text().indexOf(QStringView(gapLead)) +
                                           static_cast<qsizetype>(gapLead.size()));
    const int sentenceEnd = gapStart + gapLength;
    constexpr int smallestPixelSize = 9;

    QFont linkFont = link->font();
    int linkWidth = 0;
    for (;;) {
        linkWidth = QFontMetrics(linkFont).horizontalAdvance(link->text());
        text->widenRun(gapStart, gapLength, linkWidth);
        const bool fits = text->runRect(gapStart, 1).top() == text->runRect(sentenceEnd, 1).top();
        if (fits || linkFont.pixelSize() <= smallestPixelSize)
            break;
        linkFont.setPixelSize(linkFont.pixelSize() - 1);
    }
    link->setFont(linkFont);

    const QRect gap = text->runRect(gapStart, gapLength).translated(text->pos());
    if (gap.isEmpty())
        return;
    // Exactly as wide as the address: a press on "走一走。" beside it opens nothing.
    link->setGeometry(gap.left(), gap.center().y() - link->height() / 2, linkWidth, link->height());
}

void showAboutWindow(const QString &homePageText, const AboutWindow::AddressOpener &openAddress)
{
    AboutWindow about(homePageText, openAddress);
    about.exec();
}

} // namespace quarnel::ui
