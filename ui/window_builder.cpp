#include "window_builder.h"

#include "ui/caption_label.h"
#include "ui/drop_down_list.h"
#include "ui/link_label.h"
#include "ui/picture_box.h"
#include "ui/precise_timer.h"
#include "ui/text_panel.h"

#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>

namespace quarnel::ui {

namespace {

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

void setBackground(QWidget &widget, Fill fill)
{
    if (fill == Fill::Standard)
        return;
    const QColor colour = fill == Fill::White ? QColor(0xFF, 0xFF, 0xFF) : buttonFace();
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    if (fill == Fill::White) {
        // A combo box paints its field in Base or, drawn as a button, in Button.
        palette.setColor(QPalette::Base, colour);
        palette.setColor(QPalette::Button, colour);
    }
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void setTextColour(QWidget &widget, Ink ink)
{
    const QColor colour = ink == Ink::Red ? QColor(0xFF, 0x00, 0x00) : QColor(Qt::black);
    // Only the enabled groups: a disabled control still greys its text.
    QPalette palette = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, colour);
    }
    widget.setPalette(palette);
}

Qt::Alignment labelAlignment(Align align)
{
    return (align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

// Radio buttons with one parent form one group: a click marks the clicked one and clears the
// others, none is marked at first. Qt's own exclusive groups make the whole group a single Tab
// stop (it strips Qt::TabFocus from all but the focused button); here every radio button is a
// Tab stop of its own, so the marks are kept by hand.
void keepMarksExclusive(QRadioButton &radio)
{
    radio.setAutoExclusive(false);
    QObject::connect(&radio, &QAbstractButton::clicked, &radio, [&radio] {
        const auto siblings =
            radio.parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
        for (QRadioButton *sibling : siblings)
            sibling->setChecked(sibling == &radio);
    });
}

QWidget *makeWidget(const ControlDef &control, QWidget &parent)
{
    const QString caption = tableText(control.caption);
    switch (control.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(caption, &parent);
    case ControlKind::RadioButton:
        return new QRadioButton(caption, &parent);
    case ControlKind::Label: {
        auto *label = new CaptionLabel(&parent);
        label->setText(caption);
        label->setAlignment(labelAlignment(control.align));
        return label;
    }
    case ControlKind::PictureBox:
        return new PictureBox(tableText(control.picture), control.fit,
                              QSize(control.place.width, control.place.height), &parent);
    case ControlKind::PushButton: {
        auto *button = new QPushButton(caption, &parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case ControlKind::ComboBox: {
        auto *combo = new DropDownList(&parent);
        for (const ComboItem &item : control.items)
            combo->addItem(tableText(item.text), item.value);
        combo->setCurrentIndex(control.selected);
        return combo;
    }
    case ControlKind::TransparentLabel:
        return new LinkLabel(caption, &parent);
    case ControlKind::TextPanel:
        return new TextPanel(caption, &parent);
    case ControlKind::Timer:
        return nullptr;
    }
    return nullptr;
}

} // namespace

QString tableText(std::string_view utf8)
{
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QFont fontFor(FontStyle style)
{
    // The stored styles name no face, so they start from the application's default font.
    QFont font = QApplication::font();
    if (style == FontStyle::System)
        return font;
    font.setPixelSize(style == FontStyle::Numbers ? 64 : 19);
    font.setWeight(style == FontStyle::Text ? QFont::Normal : QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setStretch(QFont::Unstretched);
    return font;
}

void applyWindowLooks(QWidget &window, const WindowDef &def)
{
    window.setObjectName(tableText(def.name));
    window.setWindowTitle(tableText(def.caption));
    if (def.icon)
        window.setWindowIcon(def.icon());
    setBackground(window, def.background);
}

void buildControls(QWidget &window, const WindowDef &def)
{
    QHash<QString, QWidget *> parents{{window.objectName(), &window}};
    std::vector<QWidget *> inOrder;

    for (const ControlDef &control : def.controls) {
        const QString name = tableText(control.name);
        QWidget *parent = parents.value(tableText(control.parent));
        Q_ASSERT_X(parent, "buildControls", "a parent must come before its children");
        if (!parent)
            continue;

        if (control.kind == ControlKind::Timer) {
            auto *timer = new PreciseTimer(parent);
            timer->setObjectName(name);
            continue;
        }

        QWidget *widget = makeWidget(control, *parent);
        widget->setObjectName(name);
        widget->setGeometry(control.place.left, control.place.top, control.place.width,
                            control.place.height);
        widget->setFont(fontFor(control.font));
        setTextColour(*widget, control.ink);
        setBackground(*widget, control.background);
        widget->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::NoFocus);

        if (control.kind == ControlKind::GroupBox)
            parents.insert(name, widget);
        if (auto *radio = qobject_cast<QRadioButton *>(widget))
            keepMarksExclusive(*radio);
        inOrder.push_back(widget);
    }

    // Later siblings lie on top in Qt; the table lists the top one first. Raising from the
    // last row up leaves the first on top, while the creation order keeps the Tab order.
    for (auto it = inOrder.rbegin(); it != inOrder.rend(); ++it)
        (*it)->raise();
}

} // namespace quarnel::ui
