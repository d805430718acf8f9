// The main job's report: one Markdown file with pictures in one folder, a summary table of the
// steps, and the robot's complaints caught for the step they belong to.
#pragma once

#include <gtest/gtest-spi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "screenshot.h"

namespace demo {

enum class Outcome { kDone, kFailed, kNotBuilt };

struct StepResult {
    std::string name;
    Outcome outcome = Outcome::kDone;
    std::string summary;
    DWORD ms = 0;
};

class Report {
public:
    // windows: the version of Windows the package's programs see, as the report names it.
    Report(const std::string& folder, const std::string& windows);

    const std::string& folder() const { return folder_; }
    void Line(const std::string& text = "");
    void Heading(int level, const std::string& text);
    // A code block of at most most lines.
    void Code(const std::vector<std::string>& lines, size_t most = 60);
    void NotBuilt(const std::string& what);

    // A picture of the window as the screen shows it once it has settled, with a caption.
    void Picture(HWND window, const std::string& caption, DWORD settleMs = 150);
    // A picture of a window of a busy program, taken from the screen as it is.
    void ScreenPicture(HWND window, const std::string& caption);
    // One picture of several windows as they lie on the screen, each captured on its own.
    void Composite(const std::vector<HWND>& windows, const std::string& caption);

    // report.md: the summary of the steps, then everything written so far.
    void Save(const std::vector<StepResult>& steps, DWORD totalMs) const;

    static std::string SummaryLine(const StepResult& step);
    static std::string Seconds(DWORD ms);

private:
    void AddPicture(const screenshot::Image& image, const std::string& caption);

    std::string folder_;
    std::string windows_;
    std::string body_;
    int pictures_ = 0;
};

// The robot's complaints (a dialog that did not come, a control that was missing) land here
// instead of in a test result, so that each step reports its own.
class Complaints {
public:
    Complaints();
    int count() const { return results_.size(); }
    std::vector<std::string> Since(int first) const;
    void Add(const std::string& text);

private:
    ::testing::TestPartResultArray results_;
    ::testing::ScopedFakeTestPartResultReporter reporter_;
};

}  // namespace demo
