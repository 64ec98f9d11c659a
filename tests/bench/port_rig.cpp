#include "tests/bench/port_rig.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/wait_hub.h"
#include "serial/serial_port.h"
#include "tests/support/ui_thread.h"

PortRig::PortRig(int lines) {
    char pattern[] = "/tmp/kaldo-bench-ports-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("cannot make a port folder");
    }
    folder_ = pattern;
    setenv("KALDO_SENSOR_PORTS", folder_.c_str(), 1);
    for (int com = 1; com <= lines; ++com) {
        lines_.push_back(std::make_unique<FloodLine>(com));
    }
}

PortRig::~PortRig() {
    lines_.clear();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PortRig::OpenAndMonitor(ByteReceiver& receiver, int com) {
    BOOL opened = FALSE;
    receiver.Run([&] {
        port_ = std::make_unique<CSerialPort>();
        opened = port_->OpenPort(&receiver, com, 115200);
        if (opened) {
            port_->m_pMonitor = AfxBeginThread(CSerialPort::MonitorThread, port_.get());
        }
    });
    // The monitor purges the line when it starts: nothing may be sent before it waits.
    return opened && platform::WaitHub::Instance().WaitIdle();
}

void PortRig::Close(ByteReceiver& receiver) {
    receiver.Run([&] { port_.reset(); });
}

int RunMonitored(PortRig& rig, ByteReceiver& receiver, int com, const std::function<int()>& body) {
    receiver.WaitShown();
    int status = 1;
    if (rig.OpenAndMonitor(receiver, com)) {
        status = body();
    } else {
        std::fprintf(stderr, "the port did not open\n");
    }
    rig.Close(receiver);
    receiver.Run([&] { receiver.EndDialog(IDCANCEL); });
    return status;
}

int RunMonitoredHeadless(PortRig& rig, int com, const std::function<int(ByteReceiver&)>& body) {
    CWinApp app;
    ByteReceiver receiver;
    app.m_pMainWnd = &receiver;
    UiThread ui([&] { receiver.DoModal(); });
    const int status = RunMonitored(rig, receiver, com, [&] { return body(receiver); });
    ui.Join();
    framework::WaitForWorkerThreads();
    return status;
}
