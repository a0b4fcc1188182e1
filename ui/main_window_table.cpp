#include "main_window_table.h"

#include "assets/embedded_assets.h"

#include <array>

namespace quarnel::ui {

namespace {

using K = ControlKind;
using F = FontStyle;

constexpr std::array rangeItems{
    ComboItem{"1～5分", 5},   ComboItem{"1～6分", 6},   ComboItem{"1～7分", 7},
    ComboItem{"1～8分", 8},   ComboItem{"1～9分", 9},   ComboItem{"1～10分", 10},
    ComboItem{"1～11分", 11}, ComboItem{"1～12分", 12}, ComboItem{"1～13分", 13},
    ComboItem{"1～14分", 14}, ComboItem{"1～15分", 15}, ComboItem{"1～16分", 16},
    ComboItem{"1～17分", 17}, ComboItem{"1～18分", 18}, ComboItem{"1～19分", 19},
    ComboItem{"1～20分", 20},
};

// Tenths of a second per problem; 0 runs no timer.
constexpr std::array paceItems{
    ComboItem{"每题2秒", 20},   ComboItem{"每题2.5秒", 25}, ComboItem{"每题3秒", 30},
    ComboItem{"每题4秒", 40},   ComboItem{"每题5秒", 50},   ComboItem{"每题6秒", 60},
    ComboItem{"每题7秒", 70},   ComboItem{"每题8秒", 80},   ComboItem{"每题9秒", 90},
    ComboItem{"每题10秒", 100}, ComboItem{"每题11秒", 110}, ComboItem{"不计时", 0},
};

constexpr const char *window = "MainWindow";
constexpr const char *display = "分组框_20_以内分";
constexpr const char *settings = "分组框_20以内分开关";

// Among controls with one parent the first row is on top. Places are relative to the
// parent's client area.
// clang-format off
constexpr std::array controls{
//  name                  kind            parent    left, top, width × height  tab    caption          font        background        align
    ControlDef{"图片框2", K::PictureBox, window, {-12, 361, 443, 61}, false, "", F::System, Fill::ButtonFace, Align::Left,
               {}, -1, ":/assets/banner.gif", PictureFit::Stretch},
    ControlDef{display, K::GroupBox, window, {-1, 0, 433, 248}, false, "", F::System, Fill::White, Align::Left},
    ControlDef{"单选框_全部显示", K::RadioButton, display, {328, 88, 80, 24}, true, "全部显示", F::System, Fill::White, Align::Left},
    ControlDef{"单选框_数2隐藏", K::RadioButton, display, {328, 64, 80, 24}, true, "数2隐藏", F::System, Fill::White, Align::Left},
    ControlDef{"单选框_数1隐藏", K::RadioButton, display, {328, 40, 80, 24}, true, "数1隐藏", F::System, Fill::White, Align::Left},
    ControlDef{"单选框_和隐藏", K::RadioButton, display, {329, 16, 80, 24}, true, "和或差隐藏", F::System, Fill::White, Align::Left},
    ControlDef{"标签_20以内数2", K::Label, display, {229, 172, 72, 61}, false, "数2", F::Numbers, Fill::ButtonFace, Align::Centre},
    ControlDef{"标签_20以内数1", K::Label, display, {116, 172, 72, 61}, false, "数1", F::Numbers, Fill::ButtonFace, Align::Centre},
    ControlDef{"标签_20以内的和", K::Label, display, {154, 20, 102, 61}, false, "和", F::Numbers, Fill::ButtonFace, Align::Centre},
    ControlDef{"图片框1", K::PictureBox, display, {1, 8, 432, 240}, false, "", F::System, Fill::ButtonFace, Align::Left,
               {}, -1, ":/assets/split_diagram.gif", PictureFit::OwnSize},
    ControlDef{settings, K::GroupBox, window, {8, 256, 416, 104}, false, "Quarnel", F::Text, Fill::ButtonFace, Align::Left},
    ControlDef{"按钮1", K::PushButton, settings, {375, 24, 31, 64}, true, "关\r\n于", F::Text, Fill::Standard, Align::Centre},
    ControlDef{"时钟1", K::Timer, settings, {216, 64, 26, 26}, false, "", F::System, Fill::Standard, Align::Left},
    ControlDef{"标签1", K::Label, settings, {16, 64, 96, 24}, false, "练习数量：", F::Text, Fill::ButtonFace, Align::Left},
    ControlDef{"标签_出题数量", K::Label, settings, {112, 64, 56, 24}, false, "0", F::Text, Fill::ButtonFace, Align::Centre},
    ControlDef{"按钮_停止", K::PushButton, settings, {309, 59, 60, 31}, true, "停止", F::Text, Fill::Standard, Align::Centre},
    ControlDef{"标签6", K::Label, settings, {161, 24, 40, 24}, false, "速度", F::Text, Fill::ButtonFace, Align::Left},
    ControlDef{"组合框_时间", K::ComboBox, settings, {201, 24, 98, 20}, true, "", F::Text, Fill::White, Align::Left,
               paceItems, 5},
    ControlDef{"按钮_20以内分", K::PushButton, settings, {309, 24, 60, 31}, true, "开始", F::Text, Fill::Standard, Align::Centre},
    ControlDef{"标签2", K::Label, settings, {16, 24, 40, 24}, false, "范围", F::Text, Fill::ButtonFace, Align::Left},
    ControlDef{"组合框_20以内范围", K::ComboBox, settings, {55, 24, 90, 20}, true, "", F::Text, Fill::White, Align::Left,
               rangeItems, 0},
};
// clang-format on

constexpr WindowDef mainWindow{window, "Quarnel", 435, 449, Fill::ButtonFace, &programIcon, controls};

} // namespace

const WindowDef &mainWindowDef()
{
    return mainWindow;
}

} // namespace quarnel::ui
