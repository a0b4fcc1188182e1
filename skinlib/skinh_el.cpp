// Our skin library: SkinH_AttachRes takes one .SHE blob and gives the whole application its
// look (base style, palette, style sheet), so the windows open now and every window opened
// later wear it.

#include "skinlib/skin_blob.h"
#include "skinlib/skin_text.h"
#include "skinlib/skinh_api.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>

#include <memory>

#if defined(_WIN32)
#define QUARNEL_SKINH_EXPORT extern "C" __declspec(dllexport)
#else
#define QUARNEL_SKINH_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace quarnel;

// The text and the three integers are reserved: the program passes "" and zeros, and no
// value of them changes what a skin does.
QUARNEL_SKINH_EXPORT std::int32_t QUARNEL_SKINH_CALL SkinH_AttachRes(const void *data,
                                                                     std::uint32_t length,
                                                                     const char *, std::int32_t,
                                                                     std::int32_t, std::int32_t)
{
    if (data == nullptr || length == 0)
        return skinh::NoData;
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread())
        return skinh::NoWidgetApp;

    // Everything is decoded and checked before anything changes; the caller's buffer is only
    // read here, and nothing below keeps a pointer into it.
    const skinblob::Decoded decoded =
        skinblob::decode({static_cast<const std::uint8_t *>(data), length});
    if (decoded.status != skinblob::Status::Ok)
        return skinh::NotASkin;
    const auto skin = skin::parseSkinText(QString::fromUtf8(decoded.text));
    if (!skin)
        return skinh::BadSkinText;
    std::unique_ptr<QStyle> style(QStyleFactory::create(skin->style));
    if (!style)
        return skinh::BadSkinText;

    const QPalette palette = skin::paletteFor(*skin, style->standardPalette());
    QApplication::setStyle(style.release());
    QApplication::setPalette(palette);
    app->setStyleSheet(skin->styleSheet);
    return skinh::Applied;
}
