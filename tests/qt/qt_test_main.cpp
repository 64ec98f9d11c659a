// Qt's offscreen platform and presenter for the whole run; the test's thread owns the QApplication
// and is the user-interface thread. Ports come from a private, empty port folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "framework/headless_presenter.h"
#include "framework/qt/qt_presenter.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char pattern[] = "/tmp/kaldo-qt-ports-XXXXXX";
    const std::string ports = mkdtemp(pattern);
    setenv("KALDO_SENSOR_PORTS", ports.c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    SetPresenter(std::make_unique<QtPresenter>());
    const int result = RUN_ALL_TESTS();
    SetPresenter(std::make_unique<HeadlessPresenter>());
    // Boxes the user closed are deleted later, and no event loop runs after the last test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::remove_all(ports);
    return result;
}
