#include "skins/embedded_skins.h"

#include <QResource>
#include <QString>

namespace quarnel::skins {

QByteArrayView embeddedSkin(int number)
{
    if (number < firstSkin || number > lastSkin)
        return {};
    const QResource resource(QStringLiteral(":/skins/%1.she").arg(number));
    // Packed without rcc compression, so data() is the blob itself, in the program's image.
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return {reinterpret_cast<const char *>(resource.data()), resource.size()};
}

} // namespace quarnel::skins
