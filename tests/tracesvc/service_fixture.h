// Fixture of the service tests: the substitute driver loaded, TraceLogSvc installed as VrkRasTraceSV,
// its files in a fresh folder, and readers for its diagnostic log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine.h"
#include "services.h"
#include "trace_service.h"
#include "vrkras_driver.h"

class TraceServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Set(const char* name, const std::string& value);
    void Set(const char* name, DWORD value);
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    std::string File(const std::string& name) const { return testing_machine::ReadFileBytes(Path(name)); }
    bool Exists(const std::string& name) const { return testing_machine::PathExists(Path(name)); }

    // The diagnostic log's lines, and their messages without source, level and time stamp.
    std::vector<std::string> DiagLines() const;
    std::vector<std::string> DiagMessages() const;
    bool DiagHas(const std::string& message) const;
    // Index of the first message equal to text (or beginning with it when prefix), at or after from; -1 when none.
    int DiagFind(const std::string& text, int from = 0, bool prefix = false) const;

    vrkras_state DriverState() const;
    // Waits until the driver has handed out limit bytes of a stream and found nothing more twice.
    bool WaitDrained(unsigned stream, unsigned long long limit) const;
    // Waits until neither stream is polled for several poll intervals.
    bool WaitPollsStop() const;

    std::string dir_;
    testing_vrkras::DriverControl driver_;
};
