#pragma once

#include <QLabel>

namespace quarnel::ui {

// A label that fills its whole area with its background colour and draws its caption over
// it on one line, clipped to the label: a centred caption too wide for the label loses both
// ends. An ampersand is drawn as itself; there are no mnemonics.
class CaptionLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace quarnel::ui
