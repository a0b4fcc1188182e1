#include "text_panel.h"

#include <QEvent>
#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <utility>

namespace quarnel::ui {

TextPanel::TextPanel(QString text, QWidget *parent)
    : QFrame(parent)
    , m_text(std::move(text))
{
    // Two pixels of sunken edge, like a client edge.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
}

void TextPanel::widenRun(int position, int length, int width)
{
    if (length <= 0)
        return;
    const QFontMetricsF metrics(font());
    qreal natural = 0;
    for (const QChar c : QStringView(m_text).mid(position, length))
        natural += metrics.horizontalAdvance(c);
    QTextCharFormat spread;
    spread.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    spread.setFontLetterSpacing(std::max(0.0, (width - natural) / length));
    m_formats = {{position, length, spread}};
    m_laidOut = false;
    update();
}

QRect TextPanel::runRect(int position, int length)
{
    layOut();
    const QTextLine line = m_layout.lineForTextPosition(position);
    if (!line.isValid() || length <= 0)
        return {};
    const int left = qRound(line.cursorToX(position));
    const int right = qRound(line.cursorToX(position + length));
    const int top = qRound(line.y() + line.ascent()) - QFontMetrics(font()).ascent();
    return QRect(left, top, right - left, lineHeight()).translated(contentsRect().topLeft());
}

void TextPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    layOut();
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.setPen(palette().color(QPalette::WindowText));
    m_layout.draw(&painter, contentsRect().topLeft());
}

void TextPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_laidOut = false;
    QFrame::changeEvent(event);
}

void TextPanel::resizeEvent(QResizeEvent *event)
{
    m_laidOut = false;
    QFrame::resizeEvent(event);
}

void TextPanel::layOut()
{
    if (m_laidOut)
        return;
    m_laidOut = true;

    // QTextLayout breaks lines at U+2028, not at "\n"; both are one character, so positions
    // in the text stay as they are.
    QString shown = m_text;
    shown.replace(u'\n', QChar::LineSeparator);
    m_layout.setText(shown);
    m_layout.setFont(font());
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout.setTextOption(option);
    m_layout.setFormats(m_formats);

    // A line's own height follows the tallest font in it, CJK fallbacks included; the baselines
    // here follow the primary font's ascent, one character height apart.
    const int ascent = QFontMetrics(font()).ascent();
    const int descent = QFontMetrics(font()).descent();
    const qreal baselineShift = (lineHeight() - (ascent + descent)) / 2.0;
    m_layout.beginLayout();
    for (int row = 0;; ++row) {
        QTextLine line = m_layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(contentsRect().width());
        const qreal baseline = row * lineHeight() + ascent + baselineShift;
        line.setPosition(QPointF(0, baseline - line.ascent()));
    }
    m_layout.endLayout();
}

} // namespace quarnel::ui
