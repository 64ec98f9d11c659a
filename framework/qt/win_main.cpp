// The program's entry with real windows: the Qt application and its presenter live exactly as
// long as the application object's run on this, the user-interface thread.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "framework/headless_presenter.h"
#include "framework/image_resource.h"
#include "framework/qt/qt_presenter.h"
#include "framework/win_main.h"
#include "framework/win_thread.h"

int AfxWinMain(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (auto icon = FindImageResource(AFX_IDR_MAINFRAME)) {
        QApplication::setWindowIcon(QIcon(
            QPixmap::fromImage(QImage::fromData(icon->data(), static_cast<int>(icon->size())))));
    }
    SetPresenter(std::make_unique<QtPresenter>());
    if (CWinApp* app = AfxGetApp()) {
        // The tool's whole life is its InitInstance (a modal main dialog); it returns FALSE,
        // so no message loop follows.
        app->InitInstance();
    }
    framework::WaitForWorkerThreads();
    // Widgets must go before the QApplication; boxes the user closed are deleted later, and no
    // event loop runs any more.
    SetPresenter(std::make_unique<HeadlessPresenter>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
