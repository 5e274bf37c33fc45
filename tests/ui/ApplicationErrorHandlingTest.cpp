// The application's default error handler: an error escaping an event handler is logged in
// readable text and the program goes on, whatever was thrown and even when the host's own handler
// fails in turn.
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/ui/TApplication.h>

#include <QtGlobal>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace qmr;

namespace {

QStringList logged;

void recordUiMessages(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category && QLatin1String(context.category) == QLatin1String("qmr.ui"))
        logged << message;
}

/// Collects what the runtime logs under qmr.ui for the life of a test.
class ApplicationErrorHandling : public ::testing::Test {
protected:
    void SetUp() override {
        logged.clear();
        previous = qInstallMessageHandler(recordUiMessages);
    }
    void TearDown() override { qInstallMessageHandler(previous); }

    TApplication application;
    QtMessageHandler previous = nullptr;
};

} // namespace

TEST_F(ApplicationErrorHandling, defaultHandlerLogsTheMessageInItsOwnEncoding) {
    application.handleException(EConvertError("Valor inv\xE1lido"));              // Windows-1252
    application.handleException(std::runtime_error("A\xC3\xA7\xC3\xA3o falhou")); // UTF-8
    EXPECT_EQ(logged, QStringList({QString::fromUtf8("Valor inválido"), QString::fromUtf8("Ação falhou")}));
}

TEST_F(ApplicationErrorHandling, anythingThrownFromAHandlerStopsAtTheDispatch) {
    EXPECT_FALSE(dispatchHandler([] { throw 42; }));
    EXPECT_TRUE(dispatchHandler([] {}));
    EXPECT_EQ(logged, QStringList({"Unknown exception in an event handler"}));
}

TEST_F(ApplicationErrorHandling, failingHostHandlerIsLoggedAndSwallowed) {
    application.setExceptionHandler([](const std::exception&) { throw std::runtime_error("handler broke"); });
    EXPECT_NO_THROW(application.handleException(EConvertError("first")));
    application.setExceptionHandler([](const std::exception&) { throw 1; });
    EXPECT_NO_THROW(application.handleException(EConvertError("second")));
    EXPECT_EQ(logged, QStringList({"error handler failed: handler broke", "error handler failed"}));
}
