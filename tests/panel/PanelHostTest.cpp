// The host application on an 800 x 480 X screen, the size of many point-of-sale touch panels, with
// real X input: the whole search screen lies on the screen, and a search typed by clicks at the
// places of the designed keys, scaled as the screen shows them, the space bar and Enter on the
// bottom row included, returns the row it found. The program runs its own X server (Xvfb) and
// clicks through xdotool; a screenshot of the whole X screen is left in the build folder.

#include "HostProcess.h"
#include "XvfbServer.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QPixmap>
#include <QProcess>
#include <QRect>
#include <QScopeGuard>
#include <QScreen>
#include <QThread>
#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr QSize kPanel(800, 480);
constexpr QSize kDesign(640, 552);

/// The program's X server, started by main() before anything of Qt.
XvfbServer* xServer = nullptr;

/// What xdotool printed, or nullopt with a test failure saying why it did not run.
std::optional<QString> xdotool(const QStringList& arguments, int timeoutMs = 10000) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", xServer->display());
    process.setProcessEnvironment(environment);
    process.start("xdotool", arguments);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << "xdotool could not be started (" << process.errorString().toStdString()
                      << "); scripts/install-deps installs the xdotool package";
        return std::nullopt;
    }
    if (!process.waitForFinished(timeoutMs) || process.exitCode() != 0) {
        process.kill();
        ADD_FAILURE() << "xdotool " << arguments.join(' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return std::nullopt;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

/// The window's place on the screen as the X server has it (xdotool's --shell output).
QRect windowGeometry(const QString& window) {
    const std::optional<QString> shell = xdotool({"getwindowgeometry", "--shell", window});
    QMap<QString, int> values;
    for (const QString& line : shell.value_or(QString()).split('\n', Qt::SkipEmptyParts))
        values[line.section('=', 0, 0)] = line.section('=', 1).toInt();
    return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
}

/// The whole X screen once the host has drawn what the clicks did: grabs until two in a row agree.
QImage settledScreen() {
    QImage last;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QThread::msleep(300);
        QImage now = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        if (now == last)
            return now;
        last = std::move(now);
    }
    return last;
}

TEST(PanelHost, searchTypedByClicksOnAnEightHundredByFourEightyScreenReturnsItsRow) {
    ASSERT_TRUE(xServer->running()) << xServer->error().toStdString();
    HostData data;
    QProcess host;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE", "WAYLAND_DISPLAY"})
        environment.remove(variable);
    environment.insert("DISPLAY", xServer->display());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    host.setProcessEnvironment(environment);
    host.start(QMR_HOST_EXE, {"--data", data.products()});
    ASSERT_TRUE(host.waitForStarted()) << host.errorString().toStdString();
    const auto stop = qScopeGuard([&] {
        if (host.state() != QProcess::NotRunning) {
            host.kill();
            host.waitForFinished();
        }
    });

    const std::optional<QString> found =
        xdotool({"search", "--sync", "--onlyvisible", "--pid", QString::number(host.processId())}, 30000);
    ASSERT_TRUE(found) << host.readAllStandardError().toStdString();
    const QRect window = windowGeometry(found->section('\n', 0, 0));
    EXPECT_TRUE(QRect(QPoint(), kPanel).contains(window))
        << "the screen's window lies at " << window.x() << "," << window.y() << " size " << window.width()
        << "x" << window.height();
    // Scaled as a whole, by one factor, to nearly the panel's height.
    const double scale = double(window.height()) / kDesign.height();
    EXPECT_NEAR(double(window.width()) / kDesign.width(), scale, 0.01);
    EXPECT_GE(scale, 0.85);

    // Each click lands where the designed key lies at the screen's scale. The search text
    // becomes "Joia d" (Shift is pending as the screen opens); Enter is clicked on the bottom row.
    const auto click = [&](QRect designed) {
        const QPointF centre = QRectF(designed).center() * scale + QPointF(window.topLeft());
        return xdotool({"mousemove", "--sync", QString::number(qRound(centre.x())),
                        QString::number(qRound(centre.y())), "click", "1"})
            .has_value();
    };
    const QRect typed[] = {{330, 401, 51, 44}, {432, 357, 51, 44},  {381, 357, 51, 44},
                           {24, 401, 51, 44},  {153, 489, 143, 44}, {126, 401, 51, 44}};
    for (const QRect& key : typed)
        ASSERT_TRUE(click(key));
    const QString shot = QStringLiteral(QMR_BINARY_DIR "/panel-800x480.png");
    EXPECT_TRUE(settledScreen().save(shot)) << shot.toStdString();
    ASSERT_TRUE(click(QRect(535, 489, 87, 44)));

    ASSERT_TRUE(host.waitForFinished(30000)) << "the screen did not close on Enter";
    const QByteArray out = host.readAllStandardOutput();
    const QJsonObject report = QJsonDocument::fromJson(out).object();
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    EXPECT_TRUE(report["result"].toBool()) << out.toStdString();
    EXPECT_EQ(report["screen"]["searchText"].toString(), "Joia d");
    EXPECT_EQ(report["row"]["DESCRICAO"].toString(), "Joia de prata") << out.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The X server first: Qt's xcb platform connects to it as the program's application starts.
    XvfbServer server(kPanel);
    xServer = &server;
    std::optional<QGuiApplication> application;
    if (server.running()) {
        qputenv("DISPLAY", server.display().toUtf8());
        qputenv("QT_QPA_PLATFORM", "xcb");
        application.emplace(argc, argv);
    }
    return RUN_ALL_TESTS();
}
