#pragma once

// Our skin library, SkinH_EL.dll: placing it beside the program and handing it a skin.

#include "skinlib/skinh_api.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>

class QLibrary;

namespace quarnel {

// The complete file SkinH_EL.dll as the program carries it.
[[nodiscard]] QByteArrayView skinLibraryImage();

// "无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”"
[[nodiscard]] QString bindingFailureMessage();

// When the program's folder has no entry named SkinH_EL.dll (a folder of that name counts as
// one), writes the embedded library there and makes it hidden. What is there already is never
// rewritten, compared or deleted. Reports nothing.
void ensureSkinLibrary();

// ensureSkinLibrary(), then hands skin `skinNumber` to SkinH_AttachRes: a private copy of the
// blob for skins 1 to 33, a null address and length 0 for any other number. The library is
// bound on first use (the file beside the program, else the bare name through the system's
// search) and stays loaded until the program ends. If nothing binds: the fatal-error box with
// bindingFailureMessage(), exit code -1.
void applySkin(std::int32_t skinNumber);

// What the two functions above do, for one folder, with a binding of its own. The program has
// one for its own folder; tests make theirs in temporary folders.
class SkinDeployment final
{
public:
    explicit SkinDeployment(QString folder);
    ~SkinDeployment();
    SkinDeployment(const SkinDeployment &) = delete;
    SkinDeployment &operator=(const SkinDeployment &) = delete;

    void ensureSkinLibrary() const;
    void applySkin(std::int32_t skinNumber);

    // SkinH_AttachRes, bound on the first call; null when nothing binds (and then no box).
    [[nodiscard]] skinh::AttachRes attachFunction();

private:
    [[nodiscard]] QString libraryPath() const;

    QString m_folder;
    std::unique_ptr<QLibrary> m_library;
    skinh::AttachRes m_attach = nullptr;
};

} // namespace quarnel
