#include "picture_box.h"

#include <QPainter>

namespace quarnel::ui {

PictureBox::PictureBox(const QString &resourcePath, PictureFit fit, QSize size, QWidget *parent)
    : QWidget(parent)
    , m_movie(resourcePath)
{
    setAutoFillBackground(true);
    // The reader scales each frame as it decodes it. The frames are not kept: the banner's 19
    // frames at full colour would hold 2 MB for the program's life, while decoding one costs
    // well under a millisecond three times a second.
    if (fit == PictureFit::Stretch)
        m_movie.setScaledSize(size);
    m_movie.setCacheMode(QMovie::CacheNone);
    connect(&m_movie, &QMovie::frameChanged, this, [this] { update(); });
    if (m_movie.isValid())
        m_movie.start();
}

void PictureBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(backgroundRole()));
    const QPixmap frame = m_movie.currentPixmap();
    if (!frame.isNull())
        painter.drawPixmap(0, 0, frame);
}

} // namespace quarnel::ui
