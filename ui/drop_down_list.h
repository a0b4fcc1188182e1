#pragma once

#include <QComboBox>

namespace quarnel::ui {

// A combo box that only picks from its items, never takes typed text, and drops its list
// down below itself so that control and list together are droppedHeight pixels high (above
// it when the screen has no room below). List items are one pixel taller than the style's.
class DropDownList final : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int droppedHeight = 160;

    explicit DropDownList(QWidget *parent = nullptr);

    void showPopup() override;
};

} // namespace quarnel::ui
