#pragma once

// Running app_test_helper as "the program" in a folder of its own, for what only a separate
// process can show: exit codes, the fatal-error box, what is printed.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace quarnel::testing {

struct ChildRun
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// The child's environment: offscreen, its own runtime folder, and no LD_LIBRARY_PATH (the
// tests that need one set it).
inline QProcessEnvironment childEnvironment(const QString &runtimeFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
    environment.remove(QStringLiteral("BROWSER"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return environment;
}

// Copies the helper into `folder` as `quarnel`; returns its path.
inline QString installHelperAsProgram(const QString &folder)
{
    const QString program = QDir(folder).filePath(QStringLiteral("quarnel"));
    if (!QFile::copy(QStringLiteral(QUARNEL_APP_TEST_HELPER), program))
        return {};
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner | QFile::ExeGroup |
                                       QFile::ExeOther | QFile::ReadOther | QFile::ReadGroup);
    return program;
}

inline ChildRun runChild(const QString &program, const QStringList &arguments,
                         const QString &workingFolder, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    ChildRun run;
    run.finished = process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace quarnel::testing
