#include "caption_label.h"

#include <QPainter>

namespace quarnel::ui {

CaptionLabel::CaptionLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
}

void CaptionLabel::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(backgroundRole()));
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    painter.setClipRect(rect());
    // Without Qt::TextShowMnemonic an ampersand stays an ampersand.
    const int flags = static_cast<int>(alignment()) | Qt::TextSingleLine;
    painter.drawText(rect(), flags, text());
}

} // namespace quarnel::ui
