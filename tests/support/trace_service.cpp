// Test support: TraceLogSvc as the service VrkRasTraceSV.
#include "trace_service.h"

#include "machine.h"
#include "services.h"

namespace testing_trace_service {

std::string ServiceProgram() { return testing_machine::MakerDirectory() + "\\TraceLogSvc.exe"; }

bool InstallTraceService() {
    return testing_services::InstallService(kService, SERVICE_WIN32_OWN_PROCESS, ServiceProgram());
}

bool StartTraceService() {
    return testing_services::StartNamedService(kService) &&
           testing_services::WaitForServiceState(kService, SERVICE_RUNNING);
}

bool StopTraceService() { return testing_services::StopNamedService(kService); }

std::string DriverTextOf(const std::string& fileText) {
    std::string text;
    text.reserve(fileText.size());
    for (size_t i = 0; i < fileText.size(); ++i) {
        if (fileText[i] == '\r' && i + 1 < fileText.size() && fileText[i + 1] == '\n') continue;
        text += fileText[i];
    }
    return text;
}

}  // namespace testing_trace_service
