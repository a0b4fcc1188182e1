#pragma once

#include <QFrame>
#include <QTextLayout>

namespace quarnel::ui {

// A label for running text: word-wrapped, left-aligned from the top, inside a sunken edge,
// with "\n" starting a new line and no mnemonics. Lines are set solid, one character height
// apart, as the windows were drawn for: a CJK system font with generous leading would
// otherwise push the last lines out of the label.
class TextPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit TextPanel(QString text, QWidget *parent = nullptr);

    [[nodiscard]] QString text() const { return m_text; }

    // Spreads the characters from `position` on so that `length` of them span at least
    // `width` pixels. The About window widens its run of spaces to fit the link laid over it.
    void widenRun(int position, int length, int width);
    // The area those characters cover, in this panel's coordinates; empty if off the text.
    [[nodiscard]] QRect runRect(int position, int length);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    [[nodiscard]] int lineHeight() const { return QFontInfo(font()).pixelSize(); }
    void layOut();

    QString m_text;
    QTextLayout m_layout;
    QList<QTextLayout::FormatRange> m_formats;
    bool m_laidOut = false;
};

} // namespace quarnel::ui
