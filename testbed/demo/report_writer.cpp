#include "report_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "dialog_robot.h"
#include "machine.h"
#include "report_text.h"

namespace demo {
namespace {

// The program's texts, and the system's, are code page 1252; the report is UTF-8.
std::string Utf8(const std::string& text) {
    const int wide = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(wide) + 1);
    MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), buffer.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

// A picture's file name from its caption: lower-case letters and digits, runs of others as "-".
std::string Slug(const std::string& text) {
    std::string slug;
    for (char c : text) {
        if (isalnum(static_cast<unsigned char>(c)))
            slug += static_cast<char>(tolower(static_cast<unsigned char>(c)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
        if (slug.size() >= 40) break;
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

}  // namespace

Report::Report(const std::string& folder, const std::string& windows) : folder_(folder), windows_(windows) {
    CreateDirectoryA(folder.c_str(), nullptr);
}

void Report::Line(const std::string& text) { body_ += text + "\n"; }

void Report::Heading(int level, const std::string& text) {
    Line();
    Line(std::string(level, '#') + " " + text);
    Line();
}

void Report::Code(const std::vector<std::string>& lines, size_t most) {
    Line("```");
    for (size_t i = 0; i < lines.size() && i < most; ++i) Line(lines[i]);
    if (lines.size() > most) Line("... (" + std::to_string(lines.size() - most) + " more lines)");
    Line("```");
}

void Report::NotBuilt(const std::string& what) { Line("**Not part of this build:** " + what); }

void Report::Picture(HWND window, const std::string& caption, DWORD settleMs) {
    dialog_robot::Pump(settleMs);
    AddPicture(screenshot::CaptureWindow(window), caption);
}

void Report::ScreenPicture(HWND window, const std::string& caption) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    AddPicture(screenshot::CaptureScreen(r), caption);
}

// Each window is laid onto a plain background at its place on the screen.
void Report::Composite(const std::vector<HWND>& windows, const std::string& caption) {
    RECT all = {0, 0, 0, 0};
    std::vector<std::pair<RECT, screenshot::Image>> parts;
    for (HWND w : windows) {
        RECT r;
        screenshot::Image image = screenshot::CaptureWindow(w);
        if (image.width == 0 || !GetWindowRect(w, &r)) continue;
        if (parts.empty()) all = r;
        all.left = std::min(all.left, r.left), all.top = std::min(all.top, r.top);
        all.right = std::max(all.right, r.left + image.width), all.bottom = std::max(all.bottom, r.top + image.height);
        parts.push_back({r, image});
    }
    if (parts.empty()) return;
    const int margin = 8;
    screenshot::Image canvas;
    canvas.width = all.right - all.left + 2 * margin;
    canvas.height = all.bottom - all.top + 2 * margin;
    canvas.rgb.assign(static_cast<size_t>(canvas.width) * canvas.height * 3, 0x3A);
    for (const auto& part : parts) {
        const int x0 = part.first.left - all.left + margin, y0 = part.first.top - all.top + margin;
        for (int y = 0; y < part.second.height; ++y)
            std::copy_n(part.second.rgb.begin() + static_cast<size_t>(y) * part.second.width * 3,
                        part.second.width * 3,
                        canvas.rgb.begin() + (static_cast<size_t>(y0 + y) * canvas.width + x0) * 3);
    }
    AddPicture(canvas, caption);
}

void Report::AddPicture(const screenshot::Image& image, const std::string& caption) {
    char name[64];
    snprintf(name, sizeof name, "%02d-%s.png", pictures_ + 1, Slug(caption).c_str());
    const std::string png = screenshot::EncodePng(image);
    if (png.empty() || !testing_machine::WriteFileBytes(folder_ + "\\" + name, png)) return;
    ++pictures_;
    Line("![" + caption + "](" + name + ")");
    Line();
    Line("*" + caption + "*");
    Line();
}

void Report::Save(const std::vector<StepResult>& steps, DWORD totalMs) const {
    std::string text = "# An installation's whole life on one machine\n\n";
    text += "One fresh machine: " + windows_ + " as the package's programs see it, two ISDN cards, one Ethernet "
            "card and an older router installation. Every dialog was answered by the demo robot as an "
            "administrator would; each picture shows the dialog as it was answered.\n\n";
    text += "| Step | Result | Time |\n|---|---|---|\n";
    for (const StepResult& s : steps)
        text += "| " + s.name + " | " + demo_report::TableCell(SummaryLine(s)) + " | " + Seconds(s.ms) + " |\n";
    text += "\nWhole run: " + Seconds(totalMs) + ".\n";
    testing_machine::WriteFileBytes(folder_ + "\\report.md", Utf8(text + body_));
    // The same summary for programs that gather several runs (scripts/matrix.sh): step, result
    // and seconds, separated by TABs.
    std::string table;
    for (const StepResult& s : steps)
        table += s.name + "\t" + demo_report::TableCell(SummaryLine(s)) + "\t" + Seconds(s.ms) + "\n";
    if (totalMs) table += "whole run\t\t" + Seconds(totalMs) + "\n";
    testing_machine::WriteFileBytes(folder_ + "\\steps.tsv", Utf8(table));
}

std::string Report::SummaryLine(const StepResult& s) {
    const char* word = s.outcome == Outcome::kDone     ? "done"
                       : s.outcome == Outcome::kFailed ? "FAILED"
                                                       : "not part of this build";
    return std::string(word) + (s.summary.empty() ? "" : ": " + s.summary);
}

std::string Report::Seconds(DWORD ms) {
    char text[32];
    snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
    return text;
}

Complaints::Complaints() : reporter_(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results_) {}

std::vector<std::string> Complaints::Since(int first) const {
    std::vector<std::string> texts;
    for (int i = first; i < results_.size(); ++i) {
        std::string text = results_.GetTestPartResult(i).message();
        if (text.rfind("Failed\n", 0) == 0) text.erase(0, 7);
        texts.push_back(text);
    }
    return texts;
}

void Complaints::Add(const std::string& text) { ADD_FAILURE() << text; }

}  // namespace demo
