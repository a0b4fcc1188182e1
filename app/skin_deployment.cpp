#include "app/skin_deployment.h"

#include "app/fatal_error.h"
#include "app/platform.h"
#include "skins/embedded_skins.h"

#include <QLibrary>
#include <QResource>

#include <cstring>
#include <memory>
#include <utility>

namespace quarnel {

namespace {

SkinDeployment &programDeployment()
{
    // Lives until the process ends; destroying a QLibrary does not unload it, so the library
    // stays mapped to the very end and the system releases it with the process.
    static SkinDeployment deployment(platform::runDirectory());
    return deployment;
}

} // namespace

QByteArrayView skinLibraryImage()
{
    const QResource resource(QStringLiteral(":/skinlib/SkinH_EL.dll"));
    // Embedded without rcc compression, so data() is the file itself.
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return {reinterpret_cast<const char *>(resource.data()), resource.size()};
}

QString bindingFailureMessage()
{
    return QStringLiteral("无法找到指定DLL库文件“%1”中的输出命令“%2”")
        .arg(QLatin1StringView(skinh::libraryFileName),
             QLatin1StringView(skinh::attachFunctionName));
}

void ensureSkinLibrary()
{
    programDeployment().ensureSkinLibrary();
}

void applySkin(std::int32_t skinNumber)
{
    programDeployment().applySkin(skinNumber);
}

SkinDeployment::SkinDeployment(QString folder)
    : m_folder(std::move(folder))
{}

SkinDeployment::~SkinDeployment() = default;

QString SkinDeployment::libraryPath() const
{
    return m_folder + u'/' + QLatin1StringView(skinh::libraryFileName);
}

void SkinDeployment::ensureSkinLibrary() const
{
    if (platform::entryExists(libraryPath()))
        return;
    const QByteArrayView image = skinLibraryImage();
    if (image.isEmpty())
        return;
    // Neither result matters: a file that could not be written fails the binding below, and
    // one that could not be hidden works all the same.
    platform::writeNewFile(libraryPath(), image);
    platform::setHiddenAttribute(libraryPath());
}

void SkinDeployment::applySkin(std::int32_t skinNumber)
{
    ensureSkinLibrary();

    // The library gets a copy of its own for the length of the call, so the embedded skin stays
    // as it is whatever the library does with what it is given.
    const QByteArrayView embedded = skins::embeddedSkin(skinNumber);
    std::unique_ptr<std::uint8_t[]> copy;
    if (!embedded.isEmpty()) {
        copy = std::make_unique_for_overwrite<std::uint8_t[]>(
            static_cast<std::size_t>(embedded.size()));
        std::memcpy(copy.get(), embedded.data(), static_cast<std::size_t>(embedded.size()));
    }

    const skinh::AttachRes attach = attachFunction();
    if (attach == nullptr)
        showFatalError(0, bindingFailureMessage());
    // The result is the library's business; the program goes on either way.
    attach(copy.get(), static_cast<std::uint32_t>(embedded.size()), "", 0, 0, 0);
}

skinh::AttachRes SkinDeployment::attachFunction()
{
    if (m_attach != nullptr)
        return m_attach;

    std::unique_ptr<QLibrary> library = platform::loadLibraryFile(libraryPath());
    if (!library)
        library = platform::loadLibraryByName(QLatin1StringView(skinh::libraryFileName));
    if (!library)
        return nullptr;

    // A library that loads but lacks the function ends the search: it is unloaded again, and
    // no other place is tried.
    const auto attach =
        reinterpret_cast<skinh::AttachRes>(library->resolve(skinh::attachFunctionName));
    if (attach == nullptr) {
        library->unload();
        return nullptr;
    }
    m_library = std::move(library);
    m_attach = attach;
    return m_attach;
}

} // namespace quarnel
