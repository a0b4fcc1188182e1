// The platform layer on real files, real libraries and the real clock. Windows and macOS
// branches are not run here; what each does is written beside it in app/platform.h.
#include "app/platform.h"
#include "child_process.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform = quarnel::platform;
using namespace quarnel::testing;

namespace {

enum class Entry { Nothing, File, HiddenFile, Folder, LinkToFile, DanglingLink };

// Makes `name` in `folder` as the given kind of entry; returns its path.
QString makeEntry(const QString &folder, const QString &name, Entry entry)
{
    const QString path = QDir(folder).filePath(name);
    switch (entry) {
    case Entry::Nothing:
        break;
    case Entry::File:
    case Entry::HiddenFile: {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("x");
        break;
    }
    case Entry::Folder:
        QDir(folder).mkdir(name);
        break;
    case Entry::LinkToFile:
        makeEntry(folder, QStringLiteral("target"), Entry::File);
        QFile::link(QDir(folder).filePath(QStringLiteral("target")), path);
        break;
    case Entry::DanglingLink:
        QFile::link(QDir(folder).filePath(QStringLiteral("nowhere")), path);
        break;
    }
    return path;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// This process's children, running or ended but not yet waited for.
int childCount()
{
    int count = 0;
    const QString self = QString::number(::getpid());
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &process : processes) {
        const QByteArray stat = contentOf(QStringLiteral("/proc/%1/stat").arg(process));
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self.toLatin1())
            ++count;
    }
    return count;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void runDirectoryHasNoTrailingSeparator_data();
    void runDirectoryHasNoTrailingSeparator();
    void runDirectoryIsTheProgramsFolder();
    void presenceCountsEveryKindOfEntry_data();
    void presenceCountsEveryKindOfEntry();
    void writeCreatesTheFileByteForByte();
    void writeNeverTouchesWhatIsThere_data();
    void writeNeverTouchesWhatIsThere();
    void failedWriteLeavesNothingBehind();
    void linuxHasNoHiddenAttribute();
    void libraryFileLoadsOnlyThatFile_data();
    void libraryFileLoadsOnlyThatFile();
    void bareNameIsNotLookedForInTheWorkingDirectory();
    void tickCountIsMillisecondsSinceBoot();
    void webUrlAddsTheSchemeOnlyWhereMissing_data();
    void webUrlAddsTheSchemeOnlyWhereMissing();
    void webAddressGoesUnchangedToTheOpener();
    void webAddressOpensSilentlyWithoutABrowser_data();
    void webAddressOpensSilentlyWithoutABrowser();
    void everyLauncherIsWaitedFor();
};

void PlatformTest::runDirectoryHasNoTrailingSeparator_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a folder") << "/opt/quarnel"
                              << "/opt/quarnel";
    QTest::newRow("Unix root") << "/"
                               << "";
    QTest::newRow("drive root") << "C:/"
                                << "C:";
    QTest::newRow("drive root, native") << "C:\\"
                                        << "C:";
    QTest::newRow("drive folder") << "C:/Program Files/Quarnel"
                                  << "C:/Program Files/Quarnel";
}

void PlatformTest::runDirectoryHasNoTrailingSeparator()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(platform::withoutTrailingSeparator(folder), expected);
}

void PlatformTest::runDirectoryIsTheProgramsFolder()
{
    QCOMPARE(platform::runDirectory(), QCoreApplication::applicationDirPath());
}

void PlatformTest::presenceCountsEveryKindOfEntry_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::newRow("nothing") << Entry::Nothing << "SkinH_EL.dll" << false;
    QTest::newRow("file") << Entry::File << "SkinH_EL.dll" << true;
    QTest::newRow("hidden file") << Entry::HiddenFile << ".SkinH_EL.dll" << true;
    QTest::newRow("folder") << Entry::Folder << "SkinH_EL.dll" << true;
    QTest::newRow("link to a file") << Entry::LinkToFile << "SkinH_EL.dll" << true;
    QTest::newRow("dangling link") << Entry::DanglingLink << "SkinH_EL.dll" << true;
}

void PlatformTest::presenceCountsEveryKindOfEntry()
{
    QFETCH(Entry, entry);
    QFETCH(QString, name);
    QFETCH(bool, present);
    QTemporaryDir folder;
    QCOMPARE(platform::entryExists(makeEntry(folder.path(), name, entry)), present);
}

void PlatformTest::writeCreatesTheFileByteForByte()
{
    QTemporaryDir folder;
    QByteArray bytes(100'000, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    const QString path = folder.filePath(QStringLiteral("SkinH_EL.dll"));
    QVERIFY(platform::writeNewFile(path, bytes));
    QCOMPARE(contentOf(path), bytes);
}

void PlatformTest::writeNeverTouchesWhatIsThere_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::newRow("file") << Entry::File;
    QTest::newRow("folder") << Entry::Folder;
    QTest::newRow("link to a file") << Entry::LinkToFile;
    QTest::newRow("dangling link") << Entry::DanglingLink;
}

void PlatformTest::writeNeverTouchesWhatIsThere()
{
    QFETCH(Entry, entry);
    QTemporaryDir folder;
    const QString path = makeEntry(folder.path(), QStringLiteral("SkinH_EL.dll"), entry);
    const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::System);
    QVERIFY(!platform::writeNewFile(path, "new bytes"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::System), before);
    if (entry == Entry::File || entry == Entry::LinkToFile)
        QCOMPARE(contentOf(path), QByteArray("x"));
}

void PlatformTest::failedWriteLeavesNothingBehind()
{
    // A file-size limit makes the write fail part way, as a full disk would.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("SkinH_EL.dll"));
    rlimit original{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{16 * 1024, original.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = platform::writeNewFile(path, QByteArray(256 * 1024, 'x'));
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QVERIFY2(!QFileInfo::exists(path), "a half-written file was left behind");
}

void PlatformTest::linuxHasNoHiddenAttribute()
{
    QTemporaryDir folder;
    const QString path = makeEntry(folder.path(), QStringLiteral("SkinH_EL.dll"), Entry::File);
    struct stat before
    {};
    QCOMPARE(::stat(path.toLocal8Bit().constData(), &before), 0);
    QVERIFY(!platform::setHiddenAttribute(path));
    struct stat after
    {};
    QCOMPARE(::stat(path.toLocal8Bit().constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
}

void PlatformTest::libraryFileLoadsOnlyThatFile_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("loads");
    QTest::newRow("our library") << "library" << true;
    QTest::newRow("nothing") << "nothing" << false;
    QTest::newRow("a folder") << "folder" << false;
    QTest::newRow("a file that is no library") << "text" << false;
    QTest::newRow("nothing, but a lib…so of the same name beside it") << "lib-variant" << false;
}

void PlatformTest::libraryFileLoadsOnlyThatFile()
{
    QFETCH(QString, entry);
    QFETCH(bool, loads);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("SkinH_EL.dll"));
    if (entry == u"library")
        QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY), path));
    else if (entry == u"folder")
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("SkinH_EL.dll")));
    else if (entry == u"text")
        makeEntry(folder.path(), QStringLiteral("SkinH_EL.dll"), Entry::File);
    else if (entry == u"lib-variant")
        QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY),
                            folder.filePath(QStringLiteral("libSkinH_EL.dll.so"))));

    const std::unique_ptr<QLibrary> library = platform::loadLibraryFile(path);
    QCOMPARE(library != nullptr, loads);
    if (library)
        QVERIFY(library->resolve("SkinH_AttachRes") != nullptr);
}

void PlatformTest::bareNameIsNotLookedForInTheWorkingDirectory()
{
    QTemporaryDir folder;
    QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY),
                        folder.filePath(QStringLiteral("SkinH_EL.dll"))));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    const std::unique_ptr<QLibrary> library =
        platform::loadLibraryByName(QStringLiteral("SkinH_EL.dll"));
    QDir::setCurrent(previous);
    QVERIFY(library == nullptr);
    // With LD_LIBRARY_PATH pointing at the working directory, see tst_skin_deployment: the
    // dynamic linker reads it only when a process starts.
}

void PlatformTest::tickCountIsMillisecondsSinceBoot()
{
    QFile uptimeFile(QStringLiteral("/proc/uptime"));
    QVERIFY(uptimeFile.open(QIODevice::ReadOnly));
    const double uptime = uptimeFile.readAll().split(' ').value(0).toDouble();
    const std::uint32_t ticks = platform::tickCount();
    const auto expected = static_cast<std::uint32_t>(static_cast<std::uint64_t>(uptime * 1000));
    // Compared modulo 2^32, as the count wraps after 49.7 days.
    const std::uint32_t apart =
        ticks - expected < expected - ticks ? ticks - expected : expected - ticks;
    QVERIFY2(apart < 2000, qPrintable(QStringLiteral("%1 vs %2").arg(ticks).arg(expected)));
}

void PlatformTest::webUrlAddsTheSchemeOnlyWhereMissing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("url");
    QTest::newRow("bare host") << "quarnel.example"
                               << "http://quarnel.example";
    QTest::newRow("host and path") << "quarnel.example/a?b=c"
                                   << "http://quarnel.example/a?b=c";
    QTest::newRow("host and port") << "quarnel.example:8080"
                                   << "http://quarnel.example:8080";
    QTest::newRow("http") << "http://quarnel.example"
                          << "http://quarnel.example";
    QTest::newRow("https") << "https://quarnel.example/x"
                           << "https://quarnel.example/x";
}

void PlatformTest::webUrlAddsTheSchemeOnlyWhereMissing()
{
    QFETCH(QString, address);
    QFETCH(QString, url);
    QCOMPARE(platform::webUrl(address).toString(), url);
}

void PlatformTest::webAddressGoesUnchangedToTheOpener()
{
    QStringList opened;
    const platform::WebOpener previous =
        platform::setWebOpener([&opened](const QString &address) { opened << address; });
    platform::openWebAddress(QStringLiteral("quarnel.example"));
    platform::openWebAddress(QStringLiteral("http://quarnel.example"));
    platform::setWebOpener(previous);
    QCOMPARE(opened, (QStringList{"quarnel.example", "http://quarnel.example"}));
}

void PlatformTest::webAddressOpensSilentlyWithoutABrowser_data()
{
    QTest::addColumn<QString>("platformName");
    // The launcher is the same under any display; both rows make sure no display-specific
    // handler (Qt's, say) comes between, and that the launcher's complaint goes nowhere.
    QTest::newRow("no URL handler at all") << "offscreen";
    QTest::newRow("X11, xdg-open without a browser") << "xcb";
}

void PlatformTest::webAddressOpensSilentlyWithoutABrowser()
{
    QFETCH(QString, platformName);
    QTemporaryDir folder;
    const QString program = installHelperAsProgram(folder.path());
    QVERIFY(!program.isEmpty());

    // A stand-in xdg-open that fails the way the real one does without a browser.
    QDir(folder.path()).mkdir(QStringLiteral("bin"));
    const QString called = folder.filePath(QStringLiteral("xdg-open-called"));
    QFile xdgOpen(folder.filePath(QStringLiteral("bin/xdg-open")));
    QVERIFY(xdgOpen.open(QIODevice::WriteOnly));
    xdgOpen.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n"
                                 "echo \"xdg-open: no method available for opening '$1'\" >&2\n"
                                 "exit 3\n")
                      .arg(called)
                      .toUtf8());
    xdgOpen.close();
    xdgOpen.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment environment = childEnvironment(folder.path());
    environment.insert(QStringLiteral("PATH"),
                       folder.filePath(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platformName);
    QString command = program;
    QStringList arguments{QStringLiteral("web"), QStringLiteral("quarnel.example")};
    if (platformName == u"xcb") {
        const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (xvfbRun.isEmpty())
            QSKIP("needs xvfb-run for an X server");
        arguments.prepend(program);
        arguments.prepend(QStringLiteral("-a"));
        command = xvfbRun;
    }
    const ChildRun run = runChild(command, arguments, folder.path(), environment);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("returned\n"));
    QCOMPARE(run.err, QString());
    // xdg-open is not waited for; give it a moment to leave its mark.
    QTRY_VERIFY(QFileInfo::exists(called));
    QCOMPARE(contentOf(called), QByteArray("http://quarnel.example\n"));
}

void PlatformTest::everyLauncherIsWaitedFor()
{
    // The launcher can run as long as the browser it starts; once it ends, nothing of it may
    // stay behind in the process table however long Quarnel runs on.
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("bin"));
    const QString opened = folder.filePath(QStringLiteral("opened"));
    QFile xdgOpen(folder.filePath(QStringLiteral("bin/xdg-open")));
    QVERIFY(xdgOpen.open(QIODevice::WriteOnly));
    xdgOpen.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(opened).toUtf8());
    xdgOpen.close();
    xdgOpen.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(childCount(), 0);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(folder.filePath(QStringLiteral("bin"))) + ":/usr/bin:/bin");
    platform::openWebAddress(QStringLiteral("quarnel.example"));
    platform::openWebAddress(QStringLiteral("https://example.org/a b"));
    qputenv("PATH", path);

    QTRY_COMPARE(contentOf(opened).count('\n'), 2);
    QList<QByteArray> lines = contentOf(opened).trimmed().split('\n');
    std::sort(lines.begin(), lines.end());
    QCOMPARE(lines, (QList<QByteArray>{"http://quarnel.example", "https://example.org/a%20b"}));
    QTRY_COMPARE(childCount(), 0);
}

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_platform.moc"
