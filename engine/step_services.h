#pragma once
/// The step that creates the Windows services of the NTSERVICE table.

#include <cstdint>
#include <string>

namespace cv {

class CCVEngine;

/// The status shown once before the services are created.
inline constexpr const char* kInstallingServiceStatus = "Installing Service...";

/// The Win32 constants of the table's tokens. A token the table does not know gives an
/// own-process, demand-start, normal-error service. "SERVICE_INTERACTIVE_PROCESS" alone is
/// no service type the system accepts: it gives an interactive own-process service.
std::uint32_t ServiceTypeOf(const std::string& token);
std::uint32_t StartTypeOf(const std::string& token);
std::uint32_t ErrorControlOf(const std::string& token);

/// Runs the step; a service that cannot be created asks retry/ignore/abort; an abort removes
/// the work folder and marks the run aborted, and the remaining rows still run.
void InstallServices(CCVEngine& engine);

} // namespace cv
