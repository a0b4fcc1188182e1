// Placing and binding our skin library, on real files in temporary folders.
//
// Table one runs app_test_helper as "the program" in a folder of its own (the run directory is
// the program's folder, and a binding failure ends the process). Table two calls applySkin in
// this process, bound to the recording twin of the library, to see exactly what is handed over.
#include "app/skin_deployment.h"
#include "child_process.h"
#include "recording_library.h"
#include "skins/embedded_skins.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QLibrary>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace quarnel::testing;

namespace {

enum class Place {
    Nothing,                // the folder has no entry of that name
    OurLibrary,             // a library is there already (the recording twin)
    Folder,                 // a folder named SkinH_EL.dll
    ForeignFile,            // a file that is no library
    LibraryWithoutFunction, // a library that lacks SkinH_AttachRes
    DanglingLink,           // a link to nothing
};

enum class Run {
    Plain,
    ReadOnlyFolder,                // the folder cannot be written to
    DiskFull,                      // writes fail part way
    WorkingDirectory,              // the recording library sits in the working directory only
    WorkingDirectoryOnLibraryPath, // ... and LD_LIBRARY_PATH has an empty entry
    LibraryPath, // the recording library is on LD_LIBRARY_PATH (an absolute folder)
};

enum class After {
    Written,   // SkinH_EL.dll is the embedded image, byte for byte
    Untouched, // what was there is there, unchanged to its time stamps
    Absent,    // there is no entry at all
};

const QString boxLine = QStringLiteral(
    "box caption=错误 icon=error buttons=ok text=运行时出错!\\r\\n\\r\\n"
    "错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”\\r\\n");

struct Snapshot
{
    bool exists = false;
    bool isDir = false;
    bool isLink = false;
    QByteArray hash;
    QDateTime modified;
    QDateTime changed;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshotOf(const QString &path)
{
    const QFileInfo info(path);
    Snapshot snapshot{
        info.exists() || info.isSymLink(), info.isDir(), info.isSymLink(), {}, info.lastModified(),
        info.metadataChangeTime()};
    QFile file(path);
    if (!snapshot.isDir && file.open(QIODevice::ReadOnly))
        snapshot.hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    return snapshot;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Run)
Q_DECLARE_METATYPE(After)

class SkinDeploymentTest : public QObject
{
    Q_OBJECT

private slots:
    void embeddedImageIsTheBuiltLibrary();
    void bindingFailureMessageIsExact();
    void firstStartsAndFailures_data();
    void firstStartsAndFailures();
    void handsOverAPrivateCopy_data();
    void handsOverAPrivateCopy();
    void bindsOnceAndKeepsTheLibrary();
    void ensuresTheLibraryWhateverTheNumber();
};

void SkinDeploymentTest::embeddedImageIsTheBuiltLibrary()
{
    const QByteArray built = contentOf(QStringLiteral(QUARNEL_SKIN_LIBRARY));
    QVERIFY(built.size() > 1000);
    QCOMPARE(QByteArray(quarnel::skinLibraryImage().toByteArray()), built);
}

void SkinDeploymentTest::bindingFailureMessageIsExact()
{
    QCOMPARE(quarnel::bindingFailureMessage(),
             QStringLiteral("无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”"));
}

void SkinDeploymentTest::firstStartsAndFailures_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<Run>("run");
    QTest::addColumn<After>("after");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("seen"); // a line the program's output must hold

    const QString applied = QStringLiteral("styled");
    const QString recorded = QStringLiteral("recorded SkinH_AttachRes(data, %1, \"\", 0, 0, 0)")
                                 .arg(quarnel::skins::embeddedSkin(13).size());
    QTest::newRow("nothing there: written, and skin 13 applied")
        << Place::Nothing << Run::Plain << After::Written << 0 << applied;
    QTest::newRow("library already there: used as it is")
        << Place::OurLibrary << Run::Plain << After::Untouched << 0 << recorded;
    QTest::newRow("a folder of that name")
        << Place::Folder << Run::Plain << After::Untouched << 255 << boxLine;
    QTest::newRow("a file that is no library")
        << Place::ForeignFile << Run::Plain << After::Untouched << 255 << boxLine;
    QTest::newRow("a link to nothing counts as there")
        << Place::DanglingLink << Run::Plain << After::Untouched << 255 << boxLine;
    QTest::newRow("a library without SkinH_AttachRes")
        << Place::LibraryWithoutFunction << Run::Plain << After::Untouched << 255 << boxLine;
    QTest::newRow("a library without SkinH_AttachRes: no other place is tried")
        << Place::LibraryWithoutFunction << Run::LibraryPath << After::Untouched << 255 << boxLine;
    QTest::newRow("read-only folder: nothing written")
        << Place::Nothing << Run::ReadOnlyFolder << After::Absent << 255 << boxLine;
    QTest::newRow("disk full: the half-written file is removed")
        << Place::Nothing << Run::DiskFull << After::Absent << 255 << boxLine;
    QTest::newRow("library in the working directory only: not loaded")
        << Place::Folder << Run::WorkingDirectory << After::Untouched << 255 << boxLine;
    QTest::newRow("... not even with an empty entry in LD_LIBRARY_PATH")
        << Place::Folder << Run::WorkingDirectoryOnLibraryPath << After::Untouched << 255
        << boxLine;
    QTest::newRow("a folder of that name, the library on LD_LIBRARY_PATH: found by name")
        << Place::Folder << Run::LibraryPath << After::Untouched << 0 << recorded;
}

void SkinDeploymentTest::firstStartsAndFailures()
{
    QFETCH(Place, place);
    QFETCH(Run, run);
    QFETCH(After, after);
    QFETCH(int, exitCode);
    QFETCH(QString, seen);

    QTemporaryDir folder;
    QTemporaryDir elsewhere; // the working directory, or a folder on LD_LIBRARY_PATH
    QVERIFY(folder.isValid() && elsewhere.isValid());
    const QString program = installHelperAsProgram(folder.path());
    QVERIFY(!program.isEmpty());
    const QString path = folder.filePath(QStringLiteral("SkinH_EL.dll"));

    switch (place) {
    case Place::Nothing:
        break;
    case Place::OurLibrary:
        QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY), path));
        break;
    case Place::Folder:
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("SkinH_EL.dll")));
        break;
    case Place::ForeignFile: {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("MZ, but no library at all\n");
        break;
    }
    case Place::LibraryWithoutFunction:
        QVERIFY(QFile::copy(QStringLiteral(QUARNEL_NO_ATTACH_LIBRARY), path));
        break;
    case Place::DanglingLink:
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("gone")), path));
        break;
    }
    if (place != Place::Nothing && place != Place::DanglingLink && place != Place::Folder) {
        // Old time stamps, so that any write or attribute change would show.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5)),
                                 QFileDevice::FileModificationTime));
    }
    const Snapshot before = snapshotOf(path);

    QProcessEnvironment environment = childEnvironment(elsewhere.path());
    QString workingFolder = folder.path();
    QString command = program;
    QStringList arguments{QStringLiteral("apply"), QStringLiteral("13")};
    switch (run) {
    case Run::Plain:
        break;
    case Run::ReadOnlyFolder:
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                         QFile::ReadGroup | QFile::ExeGroup |
                                                         QFile::ReadOther | QFile::ExeOther));
        if (::geteuid() == 0) {
            // Root writes into read-only folders; run the program as nobody instead.
            const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            if (setpriv.isEmpty())
                QSKIP("running as root, and setpriv is missing to drop to an ordinary user");
            QFile::setPermissions(elsewhere.path(), QFile::permissions(elsewhere.path()) |
                                                        QFile::WriteOther | QFile::ExeOther);
            arguments =
                QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), program} +
                arguments;
            command = setpriv;
        }
        break;
    case Run::DiskFull:
        arguments =
            QStringList{QStringLiteral("--file-size-limit"), QStringLiteral("16384")} + arguments;
        break;
    case Run::WorkingDirectory:
    case Run::WorkingDirectoryOnLibraryPath:
        QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY),
                            elsewhere.filePath(QStringLiteral("SkinH_EL.dll"))));
        workingFolder = elsewhere.path();
        if (run == Run::WorkingDirectoryOnLibraryPath)
            environment.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(":/nonexistent"));
        break;
    case Run::LibraryPath:
        QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY),
                            elsewhere.filePath(QStringLiteral("SkinH_EL.dll"))));
        environment.insert(QStringLiteral("LD_LIBRARY_PATH"), elsewhere.path());
        break;
    }

    const ChildRun child = runChild(command, arguments, workingFolder, environment);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(child.finished, qPrintable(child.err));
    QVERIFY2(child.out.split(u'\n').contains(seen), qPrintable(child.out + child.err));
    QCOMPARE(child.exitCode, exitCode);
    // The box ends the program inside applySkin; nothing after it runs.
    QCOMPARE(child.out.contains(QStringLiteral("returned")), exitCode == 0);
    if (seen != QStringLiteral("recorded SkinH_AttachRes(data, %1, \"\", 0, 0, 0)")
                    .arg(quarnel::skins::embeddedSkin(13).size()))
        QVERIFY2(!child.out.contains(QStringLiteral("recorded")), qPrintable(child.out));

    switch (after) {
    case After::Written:
        QCOMPARE(contentOf(path), contentOf(QStringLiteral(QUARNEL_SKIN_LIBRARY)));
        // Linux has no hidden attribute to check; the folder holds the program and the library.
        QCOMPARE(QDir(folder.path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                QDir::Name | QDir::IgnoreCase),
                 (QStringList{"quarnel", "SkinH_EL.dll"}));
        break;
    case After::Untouched:
        QVERIFY(snapshotOf(path) == before);
        if (place == Place::Folder)
            QVERIFY(QDir(path).isEmpty());
        if (place == Place::DanglingLink)
            QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("gone"))));
        break;
    case After::Absent:
        QVERIFY(!snapshotOf(path).exists);
        break;
    }
}

void SkinDeploymentTest::handsOverAPrivateCopy_data()
{
    QTest::addColumn<int>("number");
    for (const int number : {0, 1, 12, 13, 32, 33, 34, -1})
        QTest::addRow("skin %d", number) << number;
}

// In this process, bound to the recording twin: the address of a copy (never of the embedded
// blob), the blob's length, "", three zeros; a null address and 0 outside 1 to 33. The twin
// scribbles over what it gets, and the embedded blob stays as it was.
void SkinDeploymentTest::handsOverAPrivateCopy()
{
    QFETCH(int, number);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("SkinH_EL.dll"));
    QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY), path));
    QLibrary twin(path);
    const auto recordedCall =
        reinterpret_cast<QuarnelRecordedCallFunction>(twin.resolve(recordedCallFunctionName));
    QVERIFY(recordedCall != nullptr);

    const QByteArrayView embedded = quarnel::skins::embeddedSkin(number);
    const QByteArray original = embedded.toByteArray();
    quarnel::SkinDeployment deployment(folder.path());
    for (int round = 0; round < 2; ++round) { // a fresh copy each time
        const int calls = recordedCall(-1, nullptr);
        deployment.applySkin(number);
        QuarnelRecordedCall call{};
        QCOMPARE(recordedCall(calls, &call), calls + 1);

        QCOMPARE(call.length, static_cast<std::uint32_t>(embedded.size()));
        QCOMPARE(call.textIsNull, 0);
        QCOMPARE(QByteArray(call.text), QByteArray(""));
        QCOMPARE(call.integers[0], 0);
        QCOMPARE(call.integers[1], 0);
        QCOMPARE(call.integers[2], 0);
        if (number < 1 || number > 33) {
            QCOMPARE(call.address, std::uintptr_t{0});
            QVERIFY(embedded.isEmpty());
            continue;
        }
        QVERIFY(call.address != 0);
        QVERIFY(call.address != reinterpret_cast<std::uintptr_t>(embedded.data()));
        const auto seen = std::min<qsizetype>(embedded.size(), sizeof call.bytes);
        QCOMPARE(QByteArrayView(reinterpret_cast<const char *>(call.bytes), seen),
                 original.first(seen));
        QCOMPARE(embedded, QByteArrayView(original));
    }
}

void SkinDeploymentTest::bindsOnceAndKeepsTheLibrary()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("SkinH_EL.dll"));
    QVERIFY(QFile::copy(QStringLiteral(QUARNEL_RECORDING_LIBRARY), path));
    quarnel::SkinDeployment deployment(folder.path());
    const quarnel::skinh::AttachRes first = deployment.attachFunction();
    QVERIFY(first != nullptr);
    // Replaced on disk by a folder: the binding made first stays, and the library with it.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("SkinH_EL.dll")));
    QVERIFY(deployment.attachFunction() == first);
    deployment.applySkin(13);
}

void SkinDeploymentTest::ensuresTheLibraryWhateverTheNumber()
{
    QTemporaryDir folder;
    quarnel::SkinDeployment deployment(folder.path());
    deployment.applySkin(0); // written, bound to our real library, handed nothing
    QCOMPARE(contentOf(folder.filePath(QStringLiteral("SkinH_EL.dll"))),
             contentOf(QStringLiteral(QUARNEL_SKIN_LIBRARY)));
}

QTEST_MAIN(SkinDeploymentTest)
#include "tst_skin_deployment.moc"
