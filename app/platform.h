#pragma once

// What the program needs of the system, one function per need. Each says what it does on
// Windows, on macOS and on Linux; the program's own logic never asks which system it is on.

#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>

class QLibrary;

namespace quarnel::platform {

// The folder that holds the program file, without a trailing separator. At the root of a file
// system that leaves the drive ("C:") on Windows and the empty text on Unix, so that
// runDirectory() + "/SkinH_EL.dll" is always the file beside the program.
[[nodiscard]] QString runDirectory();
[[nodiscard]] QString withoutTrailingSeparator(QString folder);

// True when the folder holds an entry of exactly this path: a file (hidden ones included), a
// folder, or a link, even one that leads nowhere.
[[nodiscard]] bool entryExists(const QString &path);

// Creates the file, which must not exist yet, and writes all of `bytes` into it. When anything
// fails after the file was created (disk full, quota, I/O error), the file is removed again, so
// that a half-written file is never left behind for the next start to take as present.
bool writeNewFile(const QString &path, QByteArrayView bytes);

// Gives the file the hidden attribute and no other. Windows: the file attribute; macOS: the
// UF_HIDDEN flag. Linux has no such attribute: nothing happens and the result is false.
bool setHiddenAttribute(const QString &path);

// Loads the library file at this full path and nothing else. Null when there is no entry of
// that name, or it is a folder, or no library the system can load.
[[nodiscard]] std::unique_ptr<QLibrary> loadLibraryFile(const QString &path);

// Loads a library by its bare file name through the system's standard search, which never
// includes the working directory. Windows: the safe default directories only (the program's
// folder, System32, folders added with AddDllDirectory). macOS: DYLD_LIBRARY_PATH and the
// fallback path, absolute folders only. Linux: the dynamic linker's search; an empty or
// relative folder in LD_LIBRARY_PATH would make it look in the working directory, so then no
// attempt is made at all. Null when nothing loads.
[[nodiscard]] std::unique_ptr<QLibrary> loadLibraryByName(const QString &name);

// Milliseconds since the system started, wrapping at 2^32 like Windows' GetTickCount, which is
// what Windows uses. Elsewhere a clock that also counts suspended time where there is one
// (Linux CLOCK_BOOTTIME), else the monotonic clock.
[[nodiscard]] std::uint32_t tickCount();

// Hands a web address to the system to open in the default browser; returns nothing, shows
// nothing and prints nothing, also when there is no browser. Windows: the shell's "open" verb
// with the address unchanged. macOS: LaunchServices; other systems: xdg-open, the desktop's
// URL handler. Both get "http://" put in front of an address that has no scheme (see webUrl).
void openWebAddress(const QString &address);
[[nodiscard]] QUrl webUrl(const QString &address);

// Tests replace what openWebAddress hands the address to; an empty opener restores the real
// one. Returns the opener that was in place.
using WebOpener = std::function<void(const QString &address)>;
WebOpener setWebOpener(WebOpener opener);

} // namespace quarnel::platform
