#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

// Both programs answer --help and --version as the platform's programs do, display or not; the
// window program without a display says so in one line instead of Qt's abort.
TEST(CommandLine, HelpVersionAndNoDisplay)
{
    struct Row {
        const char *name;
        const char *program;
        QStringList args;
        const char *display; // nullptr: none at all
        int status;
        const char *out; // how standard output starts
        const char *err; // what the one line on standard error holds
    };
    const QString page = qEnvironmentVariable("FOLIOSCOPE_TEST_DATA")
        + QStringLiteral("/../formatter/golden/page.html");
    const Row rows[] = {
        { "help", "folioscope", { QStringLiteral("--help") }, nullptr, 0, "Usage: folioscope", "" },
        { "short help", "folioscope", { QStringLiteral("-h") }, nullptr, 0, "Usage: folioscope",
            "" },
        { "version", "folioscope", { QStringLiteral("--version") }, nullptr, 0, "folioscope 1.",
            "" },
        { "no display", "folioscope", {}, nullptr, 2, "", "xvfb-run -a folioscope" },
        { "no display with a start file", "folioscope", { page }, nullptr, 2, "",
            "xvfb-run -a folioscope" },
        { "display that cannot be reached", "folioscope", {}, ":4321", 2, "",
            "xvfb-run -a folioscope" },
        { "batch help", "folioscope-batch", { QStringLiteral("--help") }, nullptr, 0,
            "Usage: folioscope-batch", "" },
        { "batch version", "folioscope-batch", { QStringLiteral("--version") }, nullptr, 0,
            "folioscope-batch 1.", "" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(QLatin1String(name));
        if (row.display)
            environment.insert(QStringLiteral("DISPLAY"), QLatin1String(row.display));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(
            QCoreApplication::applicationDirPath() + u'/' + QLatin1String(row.program), row.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), row.status) << err.toStdString();
        EXPECT_TRUE(out.startsWith(row.out)) << out.toStdString();
        EXPECT_EQ(err.count('\n'), *row.err ? 1 : 0) << err.toStdString();
        EXPECT_TRUE(err.contains(row.err)) << err.toStdString();
    }
}
