#include "picture_box.h"

#include <QPainter>

namespace quarnel::ui {

PictureBox::PictureBox(const QString &resourcePath, PictureFit fit, QSize size, QWidget *parent)
    : QWidget(parent)
    , m_movie(resourcePath)
{
    setAutoFillBackground(true);
    // Scaling in the reader and keeping the frames makes the looping banner cheap: each frame
    // is decoded and scaled once.
    if (fit == PictureFit::Stretch)
        m_movie.setScaledSize(size);
    m_movie.setCacheMode(QMovie::CacheAll);
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
