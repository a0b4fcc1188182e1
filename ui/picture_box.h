#pragma once

#include "ui/control_table.h"

#include <QMovie>
#include <QWidget>

namespace quarnel::ui {

// Shows a picture over its background colour, at its own size from the top-left corner or
// stretched to the whole box. Animated pictures loop as their file says, for as long as the
// box exists. A picture that cannot be read leaves just the background.
class PictureBox final : public QWidget
{
    Q_OBJECT

public:
    // A stretched picture is scaled to `size`, the box's size, frame by frame as it is read.
    PictureBox(const QString &resourcePath, PictureFit fit, QSize size, QWidget *parent = nullptr);

    [[nodiscard]] bool hasPicture() const { return m_movie.isValid(); }
    [[nodiscard]] int frameCount() const { return m_movie.frameCount(); }
    [[nodiscard]] int currentFrame() const { return m_movie.currentFrameNumber(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QMovie m_movie;
};

} // namespace quarnel::ui
