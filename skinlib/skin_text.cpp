#include "skinlib/skin_text.h"

#include <QMetaEnum>
#include <QRegularExpression>

namespace quarnel::skin {

namespace {

enum class Section { None, Skin, Palette };

template<typename Enum>
std::optional<Enum> enumFromName(QStringView name)
{
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    bool ok = false;
    const int value = meta.keyToValue(name.toLatin1().constData(), &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<Enum>(value);
}

bool fail(QString *error, const QString &reason)
{
    if (error != nullptr)
        *error = reason;
    return false;
}

bool parsePaletteLine(QStringView key, QStringView value, SkinText &skin, QString *error)
{
    static const QRegularExpression rgb(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!rgb.match(value).hasMatch())
        return fail(error, QStringLiteral("colour is not #RRGGBB: %1").arg(value));

    PaletteEntry entry;
    entry.color = QColor::fromString(value);
    QStringView roleName = key;
    if (const auto dot = key.indexOf(u'.'); dot >= 0) {
        const auto group = enumFromName<QPalette::ColorGroup>(key.first(dot));
        if (!group || *group == QPalette::NColorGroups || *group == QPalette::All ||
            *group == QPalette::Current)
            return fail(error, QStringLiteral("unknown colour group: %1").arg(key));
        entry.group = group;
        roleName = key.sliced(dot + 1);
    }
    const auto role = enumFromName<QPalette::ColorRole>(roleName);
    if (!role || *role == QPalette::NColorRoles || *role == QPalette::NoRole)
        return fail(error, QStringLiteral("unknown palette role: %1").arg(roleName));
    entry.role = *role;
    skin.palette.push_back(entry);
    return true;
}

} // namespace

std::optional<SkinText> parseSkinText(QStringView text, QString *error)
{
    SkinText skin;
    Section section = Section::None;
    qsizetype position = 0;
    while (position < text.size()) {
        qsizetype end = text.indexOf(u'\n', position);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(position, end - position).trimmed();
        position = end + 1;

        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line == u"[stylesheet]") {
            skin.styleSheet = text.sliced(std::min(position, text.size())).toString();
            break;
        }
        if (line == u"[skin]") {
            section = Section::Skin;
            continue;
        }
        if (line == u"[palette]") {
            section = Section::Palette;
            continue;
        }
        const auto equals = line.indexOf(u'=');
        if (equals < 0 || section == Section::None) {
            fail(error, QStringLiteral("not a setting: %1").arg(line));
            return std::nullopt;
        }
        const QStringView key = line.first(equals).trimmed();
        const QStringView value = line.sliced(equals + 1).trimmed();
        if (section == Section::Skin) {
            if (key != u"style" || value.isEmpty()) {
                fail(error, QStringLiteral("unknown skin setting: %1").arg(line));
                return std::nullopt;
            }
            skin.style = value.toString();
        } else if (!parsePaletteLine(key, value, skin, error)) {
            return std::nullopt;
        }
    }
    if (skin.style.isEmpty()) {
        fail(error, QStringLiteral("no style named"));
        return std::nullopt;
    }
    return skin;
}

QPalette paletteFor(const SkinText &skin, QPalette base)
{
    for (const PaletteEntry &entry : skin.palette) {
        if (entry.group)
            base.setColor(*entry.group, entry.role, entry.color);
        else
            base.setColor(entry.role, entry.color);
    }
    return base;
}

} // namespace quarnel::skin
