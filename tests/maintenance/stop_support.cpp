#include "stop_support.h"

#include <gtest/gtest.h>

#include "common/handles.h"

namespace maintenance_testing {

void InstallStopService(const std::string& name, const std::string& behaviour, bool running) {
    ASSERT_TRUE(testing_services::InstallService(name, SERVICE_WIN32_OWN_PROCESS,
                                                 "C:\\testbed\\stopservice.exe " + behaviour))
        << name;
    if (!running) return;
    DWORD error = 0;
    ASSERT_TRUE(testing_services::StartNamedService(name, &error)) << name << " error " << error;
    ASSERT_TRUE(testing_services::WaitForServiceState(name, SERVICE_RUNNING)) << name;
}

void EndService(const std::string& name) {
    SERVICE_STATUS current = {};
    if (!testing_services::QueryNamedService(name, &current)) return;
    if (!testing_services::StopNamedService(name, 3000)) {
        // The substitute's own end control, for one that refuses or never finishes the stop.
        testing_services::ControlNamedService(name, 128);
        if (testing_services::WaitForServiceState(name, SERVICE_STOPPED, 5000)) {
            testing_services::RemoveService(name);
            return;
        }
        vrk::ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        vrk::ServiceHandle service(manager.valid() ? OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_STATUS)
                                                   : nullptr);
        SERVICE_STATUS_PROCESS status = {};
        DWORD needed = 0;
        if (service.valid() && QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                                    reinterpret_cast<BYTE*>(&status), sizeof status, &needed) &&
            status.dwProcessId != 0) {
            vrk::FileHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, status.dwProcessId));
            if (process.get()) TerminateProcess(process.get(), 1);
        }
        EXPECT_TRUE(testing_services::WaitForServiceState(name, SERVICE_STOPPED, 10000)) << name;
    }
    testing_services::RemoveService(name);
}

std::vector<std::string> FoldedWorkerMessages() {
    std::vector<std::string> folded;
    int repeats = 0;
    for (const std::string& m : WorkerMessages()) {
        const bool poll = m.size() > 22 && m.compare(m.size() - 22, 22, " queryservicestatus ok") == 0;
        if (poll && repeats > 0 && folded.back().compare(0, m.size(), m) == 0) {
            folded.back() = m + " x" + std::to_string(++repeats);
            continue;
        }
        repeats = poll ? 1 : 0;
        folded.push_back(poll ? m + " x1" : m);
    }
    return folded;
}

std::vector<std::string> JournalEvents() {
    std::vector<std::string> events;
    for (const testing_journal::JournalEntry& e : testing_journal::ReadJournal()) {
        // Substitutes announcing that they are ready may write after the test saw them ready.
        if (e.what == "shown" || e.what == "running" || e.what == "hung") continue;
        events.push_back(e.who + " " + e.what + (e.detail.empty() ? "" : " " + e.detail));
    }
    return events;
}

}  // namespace maintenance_testing
