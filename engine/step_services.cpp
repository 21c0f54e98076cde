#include "engine/step_services.h"

#include "engine/engine.h"
#include "engine/step_table.h"

#include <array>
#include <string_view>

namespace cv {

namespace {

struct Token {
    std::string_view name;
    std::uint32_t value;
};

constexpr std::array<Token, 3> kServiceTypes{{{"SERVICE_WIN32_OWN_PROCESS", 0x10},
                                              {"SERVICE_WIN32_SHARE_PROCESS", 0x20},
                                              {"SERVICE_INTERACTIVE_PROCESS", 0x100 | 0x10}}};
constexpr std::array<Token, 5> kStartTypes{{{"SERVICE_BOOT_START", 0},
                                            {"SERVICE_SYSTEM_START", 1},
                                            {"SERVICE_AUTO_START", 2},
                                            {"SERVICE_DEMAND_START", 3},
                                            {"SERVICE_DISABLED", 4}}};
constexpr std::array<Token, 3> kErrorControls{
    {{"SERVICE_ERROR_IGNORE", 0}, {"SERVICE_ERROR_NORMAL", 1}, {"SERVICE_ERROR_CRITICAL", 3}}};

template <std::size_t N>
std::uint32_t Lookup(const std::array<Token, N>& table, const std::string& token, std::uint32_t fallback) {
    for (const Token& t : table)
        if (t.name == token)
            return t.value;
    return fallback;
}

// The service manager of the 9x systems does not exist.
bool OlderSystem(const std::string& token) {
    return token == "ME" || token == "98" || token == "95" || token == "98SE";
}

void InstallOneService(CCVEngine& engine, int row) {
    auto cell = [&](const char* column) { return StepTableCell(engine, "NTSERVICE", column, row); };
    for (;;) {
        if (OlderSystem(engine.token()))
            return;
        ServiceSpec service;
        service.name = cell("A");
        service.display_name = cell("B");
        service.service_type = ServiceTypeOf(cell("C"));
        service.start_type = StartTypeOf(cell("D"));
        service.error_control = ErrorControlOf(cell("E"));
        service.binary_path = engine.Expand(cell("F"));
        const CreateServiceResult result = engine.target().InstallService(service);
        if (result == CreateServiceResult::Created) {
            engine.WriteLogEntry("NTSERVICE", service.name);
            return;
        }
        if (result == CreateServiceResult::NoManager) {
            engine.Trace("service manager not available: " + service.name);
            return;
        }
        const int answer = engine.progress().AskRetryIgnoreAbort(
            "Corvane can't install " + service.display_name + " service. What do you want to do ?", false);
        if (answer == kAnswerRetry)
            continue;
        if (answer == kAnswerAbort)
            engine.Abort();
        return;
    }
}

} // namespace

std::uint32_t ServiceTypeOf(const std::string& token) {
    return Lookup(kServiceTypes, token, 0x10);
}

std::uint32_t StartTypeOf(const std::string& token) {
    return Lookup(kStartTypes, token, 3);
}

std::uint32_t ErrorControlOf(const std::string& token) {
    return Lookup(kErrorControls, token, 1);
}

void InstallServices(CCVEngine& engine) {
    const int rows = StepTableRows(engine, "NTSERVICE");
    if (rows == 0)
        return;
    engine.SetStatusText(kInstallingServiceStatus);
    for (int i = 0; i < rows; ++i)
        InstallOneService(engine, i);
}

} // namespace cv
