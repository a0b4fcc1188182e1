#pragma once

#include <QWidget>

namespace quarnel::ui {

// A transparent label: only its caption is drawn, in the text colour, left-aligned on one line
// and centred vertically; what lies behind it shows through. A left-button press is reported
// and goes no further.
class LinkLabel final : public QWidget
{
    Q_OBJECT

public:
    explicit LinkLabel(QString text, QWidget *parent = nullptr);

    [[nodiscard]] QString text() const { return m_text; }
    void setText(const QString &text);

signals:
    void leftButtonPressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString m_text;
};

} // namespace quarnel::ui
