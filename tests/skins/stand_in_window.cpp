#include "stand_in_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace quarnel::testing {

namespace {

QFont numbersFont()
{
    QFont font;
    font.setPixelSize(64);
    font.setBold(true);
    return font;
}

QFont textFont()
{
    QFont font;
    font.setPixelSize(19);
    return font;
}

// The split diagram: white ground, three grey boxes, two thick black strokes.
QPixmap diagram()
{
    QPixmap pixmap(421, 238);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(0, 0, 420, 0);
    painter.drawLine(0, 0, 0, 237);
    painter.drawRect(152, 10, 104, 63);
    painter.drawRect(113, 162, 75, 63);
    painter.drawRect(226, 162, 75, 63);
    painter.setPen(QPen(Qt::black, 5));
    painter.drawLine(190, 78, 150, 155);
    painter.drawLine(218, 78, 262, 155);
    return pixmap;
}

QPixmap banner()
{
    QPixmap pixmap(450, 70);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 450, 0);
    gradient.setColorAt(0, QColor(0x20, 0x80, 0xd0));
    gradient.setColorAt(1, QColor(0xe0, 0x40, 0x60));
    painter.fillRect(pixmap.rect(), gradient);
    QFont font;
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::yellow);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("quarnel.example"));
    return pixmap;
}

template<typename Widget>
Widget *place(QWidget *parent, const char *name, QRect geometry)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    return widget;
}

// Labels and picture boxes paint their whole area in button face.
void fillWithButtonFace(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    widget->setBackgroundRole(QPalette::Button);
}

void fillWithWhite(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Button, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *label(QWidget *parent, const char *name, QRect geometry, const QString &caption,
              const QFont &font, Qt::Alignment alignment)
{
    auto *widget = place<QLabel>(parent, name, geometry);
    widget->setText(caption);
    widget->setFont(font);
    widget->setAlignment(alignment | Qt::AlignVCenter);
    widget->setTextFormat(Qt::PlainText);
    fillWithButtonFace(widget);
    return widget;
}

QPushButton *button(QWidget *parent, const char *name, QRect geometry, const QString &caption)
{
    auto *widget = place<QPushButton>(parent, name, geometry);
    widget->setText(caption);
    widget->setFont(textFont());
    widget->setAutoDefault(false);
    return widget;
}

QRadioButton *radio(QWidget *parent, const char *name, QRect geometry, const QString &caption)
{
    auto *widget = place<QRadioButton>(parent, name, geometry);
    widget->setText(caption);
    fillWithWhite(widget);
    return widget;
}

QComboBox *combo(QWidget *parent, const char *name, QRect geometry, const QStringList &items,
                 int selected)
{
    auto *widget = place<QComboBox>(parent, name, geometry);
    widget->setFont(textFont());
    widget->addItems(items);
    widget->setCurrentIndex(selected);
    return widget;
}

} // namespace

std::unique_ptr<QWidget> makeStandInMainWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setObjectName(QStringLiteral("MainWindow"));
    window->setWindowTitle(QStringLiteral("Quarnel"));
    window->setFixedSize(standInClientSize);

    // Created bottom first: in Qt the sibling made last lies on top.
    auto *bannerBox = place<QLabel>(window.get(), "图片框2", {-12, 361, 443, 61});
    bannerBox->setPixmap(banner());
    bannerBox->setScaledContents(true);
    fillWithButtonFace(bannerBox);

    auto *settings = place<QGroupBox>(window.get(), "分组框_20以内分开关", {8, 256, 416, 104});
    settings->setTitle(QStringLiteral("Quarnel"));
    settings->setFont(textFont());
    fillWithButtonFace(settings);
    combo(settings, "组合框_20以内范围", {55, 24, 90, 20},
          {QStringLiteral("1～5分"), QStringLiteral("1～6分"), QStringLiteral("1～20分")}, 0);
    label(settings, "标签2", {16, 24, 40, 24}, QStringLiteral("范围"), textFont(), Qt::AlignLeft);
    button(settings, "按钮_20以内分", {309, 24, 60, 31}, QStringLiteral("开始"));
    combo(settings, "组合框_时间", {201, 24, 98, 20},
          {QStringLiteral("每题2秒"), QStringLiteral("每题6秒"), QStringLiteral("不计时")}, 1);
    label(settings, "标签6", {161, 24, 40, 24}, QStringLiteral("速度"), textFont(), Qt::AlignLeft);
    button(settings, "按钮_停止", {309, 59, 60, 31}, QStringLiteral("停止"));
    label(settings, "标签_出题数量", {112, 64, 56, 24}, QStringLiteral("0"), textFont(),
          Qt::AlignHCenter);
    label(settings, "标签1", {16, 64, 96, 24}, QStringLiteral("练习数量："), textFont(),
          Qt::AlignLeft);
    button(settings, "按钮1", {375, 24, 31, 64}, QStringLiteral("关\n于"));

    auto *drill = place<QGroupBox>(window.get(), "分组框_20_以内分", {-1, 0, 433, 248});
    fillWithWhite(drill);
    auto *diagramBox = place<QLabel>(drill, "图片框1", {1, 8, 432, 240});
    diagramBox->setPixmap(diagram());
    diagramBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fillWithButtonFace(diagramBox);
    label(drill, "标签_20以内的和", {154, 20, 102, 61}, QStringLiteral("和"), numbersFont(),
          Qt::AlignHCenter);
    label(drill, "标签_20以内数1", {116, 172, 72, 61}, QStringLiteral("数1"), numbersFont(),
          Qt::AlignHCenter);
    label(drill, "标签_20以内数2", {229, 172, 72, 61}, QStringLiteral("数2"), numbersFont(),
          Qt::AlignHCenter);
    radio(drill, "单选框_和隐藏", {329, 16, 80, 24}, QStringLiteral("和或差隐藏"));
    radio(drill, "单选框_数1隐藏", {328, 40, 80, 24}, QStringLiteral("数1隐藏"));
    radio(drill, "单选框_数2隐藏", {328, 64, 80, 24}, QStringLiteral("数2隐藏"));
    radio(drill, "单选框_全部显示", {328, 88, 80, 24}, QStringLiteral("全部显示"));
    return window;
}

} // namespace quarnel::testing
