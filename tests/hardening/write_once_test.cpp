// Every command queued for the sensor goes out at most once. Two commands queued back to back
// (a request held up by a box, then the poll tick that was waiting behind it) can wake the
// monitor twice for the one message left in the buffer; the second wake must find nothing to
// write, or the sensor gets the command twice in one burst and understands neither.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;

class MonitorlessPort : public CSerialPort {
public:
    using CSerialPort::FlushWrite;
};

TEST(WriteOnceTest, ASecondWakeForTheSameMessageWritesNothing) {
    ToolHarness h;
    sensor_sim::SensorOptions silent;
    silent.silent = true;
    auto& sensor = h.AddSensor(3, silent);
    h.Start();

    std::unique_ptr<MonitorlessPort> port;
    h.Run([&] {
        port = std::make_unique<MonitorlessPort>();
        ASSERT_TRUE(port->OpenPort(&h.dlg, 3, 115200));
        port->QueueWrite("100001", 6);
        port->FlushWrite();
    });
    // The sensor has the bytes before the monitor wakes again for the same message.
    ASSERT_TRUE(h.time.Settle());
    h.Run([&] { port->FlushWrite(); });
    ASSERT_TRUE(h.time.Advance(20ms));
    const auto received = sensor.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].bytes, "100001");

    // A message queued after that goes out as usual.
    h.Run([&] {
        port->QueueWrite("100002", 6);
        port->FlushWrite();
    });
    ASSERT_TRUE(h.time.Advance(20ms));
    EXPECT_EQ(sensor.Received().back().bytes, "100002");
    h.Run([&] { port.reset(); });
}

}  // namespace
