#include "cli/port_report.h"

#include "cli/arguments.h"
#include "cli/json.h"
#include "platform/port_identity.h"
#include "platform/port_problem.h"

namespace cli {
namespace {

using platform::PortProblem;

const char* StateName(PortProblem::Kind kind) {
    switch (kind) {
        case PortProblem::Kind::None:
            return "free";
        case PortProblem::Kind::Absent:
            return "absent";
        case PortProblem::Kind::PermissionDenied:
            return "permission denied";
        case PortProblem::Kind::Held:
            return "held";
    }
    return "";
}

std::string JsonText(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

std::string JsonPort(int n, const platform::PortIdentity& id, const PortProblem& problem) {
    std::vector<std::pair<std::string, std::string>> members = {
        {"port", JsonString("COM" + std::to_string(n))},
        {"device", JsonText(id.device)},
        {"kind", JsonText(id.kind)},
        {"simulatedSensor", id.IsSimulatedSensor() ? "true" : "false"},
        {"state", JsonString(StateName(problem.kind))},
        {"problem", JsonText(platform::DescribePortProblem(problem))},
        {"byId", JsonText(id.byId)},
    };
    if (!id.vendorId.empty()) {
        members.emplace_back("usb", JsonObject({{"vendorId", JsonString(id.vendorId)},
                                                {"productId", JsonString(id.productId)},
                                                {"manufacturer", JsonText(id.manufacturer)},
                                                {"product", JsonText(id.product)},
                                                {"serial", JsonText(id.serial)}}));
    }
    if (id.servedByPid != 0) {
        members.emplace_back("servedBy", JsonObject({{"pid", std::to_string(id.servedByPid)},
                                                     {"name", JsonText(id.servedBy)}}));
    }
    if (problem.holderPid != 0) {
        members.emplace_back("heldBy", JsonObject({{"pid", std::to_string(problem.holderPid)},
                                                   {"name", JsonText(problem.holderName)}}));
    }
    return JsonObject(members);
}

std::string TextPort(int n, const platform::PortIdentity& id, const PortProblem& problem) {
    std::string line = "COM" + std::to_string(n) + ": ";
    if (id.device.empty()) {
        return line + "no port\n";
    }
    line += platform::DescribePortIdentity(id);
    if (problem.kind == PortProblem::Kind::Absent) {
        line += " (not there)";
    }
    line += "\n";
    if (const std::string reason = platform::DescribePortProblem(problem); !reason.empty()) {
        line += "      " + reason + "\n";
    }
    return line;
}

}  // namespace

std::string PortReport(bool json) {
    std::string report;
    for (int n = 1; n <= kLastCom; ++n) {
        const platform::PortIdentity id = platform::IdentifyComPort(n);
        const PortProblem problem = platform::DiagnoseComPort(n);
        if (json) {
            report += (n == 1 ? "[\n  " : ",\n  ") + JsonPort(n, id, problem);
        } else {
            report += TextPort(n, id, problem);
        }
    }
    return json ? report + "\n]\n" : report;
}

}  // namespace cli
