// The program's entry with the system's own windows: the presenter is installed for exactly the
// application object's run on this, the user-interface thread.
#include "framework/win_main.h"
#include "framework/headless_presenter.h"
#include "framework/win32/win32_presenter.h"
#include "framework/win_thread.h"

int AfxWinMain(int, char*[]) {
    SetPresenter(std::make_unique<Win32Presenter>());
    if (CWinApp* app = AfxGetApp()) {
        // The tool's whole life is its InitInstance (a modal main dialog); it returns FALSE,
        // so no message loop follows.
        app->InitInstance();
    }
    framework::WaitForWorkerThreads();
    SetPresenter(std::make_unique<HeadlessPresenter>());
    return 0;
}
