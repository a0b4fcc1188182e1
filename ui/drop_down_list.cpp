#include "drop_down_list.h"

#include <QAbstractItemView>
#include <QProxyStyle>
#include <QScreen>

namespace quarnel::ui {

namespace {

// Some styles (Fusion among them) open the list over the control with the current item on
// top of it. These lists drop down below the control instead.
class DropDownStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Hands painting to the list's own delegate and only adds the extra pixel of height.
class TallerItems final : public QAbstractItemDelegate
{
public:
    TallerItems(QAbstractItemDelegate *inner, QObject *parent)
        : QAbstractItemDelegate(parent)
        , m_inner(inner)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        m_inner->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return m_inner->sizeHint(option, index) + QSize(0, 1);
    }

private:
    QAbstractItemDelegate *m_inner;
};

} // namespace

DropDownList::DropDownList(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto *style = new DropDownStyle;
    style->setParent(this);
    setStyle(style);
    // The view keeps its original delegate (it does not delete it), so TallerItems can use it.
    view()->setItemDelegate(new TallerItems(view()->itemDelegate(), view()));
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The list is as wide as the control: a longer item is cut off, not shortened with "…".
    view()->setTextElideMode(Qt::ElideNone);
}

void DropDownList::showPopup()
{
    QComboBox::showPopup();
    QWidget *popup = view()->window();
    if (popup == this || !popup->isVisible())
        return;
    const int listHeight = droppedHeight - height();
    const QPoint below = mapToGlobal(QPoint(0, height()));
    QRect list(below, QSize(width(), listHeight));
    if (const QScreen *currentScreen = screen()) {
        const QRect available = currentScreen->availableGeometry();
        if (list.bottom() > available.bottom())
            list.moveBottom(mapToGlobal(QPoint(0, 0)).y() - 1);
    }
    popup->setGeometry(list);
}

} // namespace quarnel::ui
