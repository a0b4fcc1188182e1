#include "app/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

#if defined(Q_OS_MACOS)
#include <QDesktopServices>
#endif

#if defined(Q_OS_WIN)
#include <qt_windows.h>
#include <shellapi.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <time.h>
#include <unistd.h>
#endif

namespace quarnel::platform {

namespace {

// Silent unless asked for (QT_LOGGING_RULES="quarnel.platform.debug=true"): the program
// reports none of these failures, but a developer may want to see why a library did not load.
Q_LOGGING_CATEGORY(platformLog, "quarnel.platform", QtWarningMsg)

#if !defined(Q_OS_WIN)
// A folder list such as LD_LIBRARY_PATH in which the loader would look relative to the working
// directory: an empty entry means the working directory itself.
bool namesRelativeFolder(const QByteArray &list)
{
    if (list.isNull())
        return false;
    static const QRegularExpression separators(QStringLiteral("[:;]"));
    const QStringList folders = QString::fromLocal8Bit(list).split(separators);
    return std::any_of(folders.begin(), folders.end(),
                       [](const QString &folder) { return !folder.startsWith(u'/'); });
}
#endif

std::unique_ptr<QLibrary> loaded(std::unique_ptr<QLibrary> library)
{
    if (!library->load()) {
        qCDebug(platformLog) << "not loaded:" << library->errorString();
        return nullptr;
    }
    return library;
}

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// Starts xdg-open, the freedesktop URL handler that picks the user's browser on every desktop,
// with its output going nowhere (without a browser it complains on stderr). posix_spawn shares
// the program's memory with the child until the exec, where QDesktopServices' detached
// QProcess copies it: measured here with the main window built, 9 ms against under 1 ms, paid
// before the window shows. The launcher may wait for the browser it starts, so a thread of its
// own reaps it; if Quarnel ends first, init does.
void spawnUrlLauncher(const QUrl &url)
{
    QByteArray target = url.toEncoded();
    char launcher[] = "xdg-open";
    char *const arguments[] = {launcher, target.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    // The browser should start as from a fresh session: no blocked or ignored signals
    // inherited from this program, and not ended with the terminal Quarnel was started from.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    sigfillset(&signalSet);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#if defined(POSIX_SPAWN_SETSID)
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attributes, flags);

    pid_t child = 0;
    const int failed = posix_spawnp(&child, launcher, &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        qCDebug(platformLog) << "no URL launcher:" << qt_error_string(failed);
        return;
    }
    try {
        std::thread([child] {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error &error) {
        // Out of threads: the page opens all the same, and the ended launcher waits in the
        // process table until Quarnel ends.
        qCDebug(platformLog) << "launcher not waited for:" << error.what();
    }
}
#endif

void openWithSystem(const QString &address)
{
#if defined(Q_OS_WIN)
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t *>(address.utf16()), nullptr,
                  nullptr, SW_SHOWNORMAL);
#elif defined(Q_OS_MACOS)
    // LaunchServices, inside the process: nothing to start, nothing printed.
    QDesktopServices::openUrl(webUrl(address));
#else
    spawnUrlLauncher(webUrl(address));
#endif
}

WebOpener &webOpener()
{
    static WebOpener opener;
    return opener;
}

} // namespace

QString withoutTrailingSeparator(QString folder)
{
    while (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        folder.chop(1);
    return folder;
}

QString runDirectory()
{
    return withoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

bool entryExists(const QString &path)
{
    const QFileInfo entry(path);
    // exists() follows links; a dangling link is an entry all the same.
    return entry.exists() || entry.isSymLink();
}

bool writeNewFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    // NewOnly: never truncate, and never follow a link, whatever appeared since the caller
    // last looked.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written = file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return true;
    file.remove();
    return false;
}

bool setHiddenAttribute(const QString &path)
{
#if defined(Q_OS_WIN)
    return SetFileAttributesW(
               reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
               FILE_ATTRIBUTE_HIDDEN) != 0;
#elif defined(Q_OS_MACOS)
    return ::chflags(QFile::encodeName(path).constData(), UF_HIDDEN) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

std::unique_ptr<QLibrary> loadLibraryFile(const QString &path)
{
    // Checked first, because for a path with nothing there QLibrary goes on to try the name
    // with "lib" and ".so" added.
    if (!QFileInfo(path).isFile())
        return nullptr;
    return loaded(std::make_unique<QLibrary>(QFileInfo(path).absoluteFilePath()));
}

std::unique_ptr<QLibrary> loadLibraryByName(const QString &name)
{
#if defined(Q_OS_WIN)
    // Process-wide from here on: the working directory and PATH are out of every search that
    // does not name its folders.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    return loaded(std::make_unique<QLibrary>(name));
#elif defined(Q_OS_MACOS)
    // dyld looks for a bare name in the working directory too; so search the folders ourselves
    // and load by full path.
    QStringList folders = qEnvironmentVariable("DYLD_LIBRARY_PATH").split(u':', Qt::SkipEmptyParts);
    folders +=
        qEnvironmentVariableIsSet("DYLD_FALLBACK_LIBRARY_PATH")
            ? qEnvironmentVariable("DYLD_FALLBACK_LIBRARY_PATH").split(u':', Qt::SkipEmptyParts)
            : QStringList{QStringLiteral("/usr/local/lib"), QStringLiteral("/usr/lib")};
    for (const QString &folder : std::as_const(folders)) {
        if (!folder.startsWith(u'/'))
            continue;
        if (auto library = loadLibraryFile(folder + u'/' + name))
            return library;
    }
    return nullptr;
#else
    if (namesRelativeFolder(qgetenv("LD_LIBRARY_PATH")))
        return nullptr;
    return loaded(std::make_unique<QLibrary>(name));
#endif
}

std::uint32_t tickCount()
{
#if defined(Q_OS_WIN)
    return GetTickCount();
#else
#if defined(CLOCK_BOOTTIME)
    constexpr clockid_t clock = CLOCK_BOOTTIME;
#else
    constexpr clockid_t clock = CLOCK_MONOTONIC;
#endif
    timespec now{};
    ::clock_gettime(clock, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u;
    return static_cast<std::uint32_t>(milliseconds);
#endif
}

QUrl webUrl(const QString &address)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(address).hasMatch())
        return QUrl(address);
    return QUrl(QStringLiteral("http://") + address);
}

void openWebAddress(const QString &address)
{
    if (const WebOpener &opener = webOpener())
        opener(address);
    else
        openWithSystem(address);
}

WebOpener setWebOpener(WebOpener opener)
{
    return std::exchange(webOpener(), std::move(opener));
}

} // namespace quarnel::platform
