#include "link_label.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace quarnel::ui {

LinkLabel::LinkLabel(QString text, QWidget *parent)
    : QWidget(parent)
    , m_text(std::move(text))
{
    setCursor(Qt::ArrowCursor);
}

void LinkLabel::setText(const QString &text)
{
    m_text = text;
    update();
}

void LinkLabel::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit leftButtonPressed();
}

// The second press of a double click arrives as a double click. QWidget would pass it on as
// one more press; nothing is bound to a double click, so it ends here.
void LinkLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace quarnel::ui
