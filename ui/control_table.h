#pragma once

#include <QIcon>

#include <span>
#include <string_view>

namespace quarnel::ui {

// The vocabulary of a window definition. A window is one table of ControlDef rows, read top
// to bottom like the window itself; window_builder.h turns it into widgets.

enum class ControlKind {
    GroupBox,
    RadioButton,
    Label,
    PictureBox,
    PushButton,
    ComboBox,
    Timer,            // no visible form; place and size have no effect
    TransparentLabel, // draws only its caption, single line; what lies behind shows through
    TextPanel,        // word-wrapped caption from the top, inside a sunken edge
};

enum class FontStyle {
    System,   // the application's default font
    Numbers,  // 64 px, bold
    Text,     // 19 px, normal
    TextBold, // 19 px, bold
};

enum class Fill {
    Standard,   // whatever the style paints
    ButtonFace, // the palette's button colour
    White,      // #FFFFFF
};

enum class Ink {
    Black, // #000000
    Red,   // #FF0000
};

enum class Align {
    Left,   // horizontally; captions of labels are always centred vertically
    Centre, // both ways
};

enum class PictureFit {
    OwnSize, // drawn at its own size from the top-left corner
    Stretch, // scaled to the whole box
};

struct Place
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ComboItem
{
    std::string_view text; // UTF-8
    int value = 0;         // the item value, kept as Qt::UserRole data
};

struct ControlDef
{
    std::string_view name; // UTF-8; becomes the objectName
    ControlKind kind = ControlKind::Label;
    std::string_view parent; // the window's or a group box's name
    Place place;
    bool tabStop = false;
    std::string_view caption; // UTF-8; "\r\n" breaks a line
    FontStyle font = FontStyle::System;
    Fill background = Fill::Standard;
    Align align = Align::Left;
    std::span<const ComboItem> items = {};
    int selected = -1;             // the item selected at load
    std::string_view picture = {}; // a resource path
    PictureFit fit = PictureFit::OwnSize;
    Ink ink = Ink::Black;
};

struct WindowDef
{
    std::string_view name; // objectName
    std::string_view caption;
    int outerWidth = 0; // frame and title bar included
    int outerHeight = 0;
    Fill background = Fill::ButtonFace;
    QIcon (*icon)() = nullptr;
    std::span<const ControlDef> controls;
};

} // namespace quarnel::ui
