#include "robot_windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "dialog_template.h"
#include "lang/resource.h"
#include "report_text.h"

namespace demo {

using namespace dialog_robot;

namespace {

HMODULE g_language = nullptr;
// Message boxes: the static that holds the text.
const int kMessageTextId = 0xFFFF;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string ButtonName(int button) {
    switch (button) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return std::to_string(button);
    }
}

}  // namespace

void UseLanguageModule(HMODULE module) { g_language = module; }

HMODULE LanguageModuleOfRobot() { return g_language; }


DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::vector<HWND> VisibleDialogsOf(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search = {pid, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            if (IsWindowVisible(window) && ClassOf(window) == "#32770" && (!s->pid || ProcessOf(window) == s->pid))
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WORD TemplateOf(HWND window) {
    static std::vector<std::pair<WORD, std::vector<int>>> templates;
    if (templates.empty()) {
        for (WORD id : {IDD_PRODUCT_CHOICE, IDD_MONSTART_MESSAGE, IDD_LAN_CONFIG, IDD_PROGRESS_NOTE, IDD_IPIPX_CONFIG,
                        IDD_MSNEAZ_PAGE, IDD_WAN_CONFIG, IDD_CONTROLLER, IDD_X31_CONFIG, IDD_INCALLER_PAGE,
                        IDD_DEFAULT_PROTOCOLS_PAGE, IDD_LOGGING_PAGE, IDD_CONFIG_CENTER, IDD_FIRST_LINK,
                        IDD_TRACING_PAGE}) {
            const dialog_template::Template t = dialog_template::Load(g_language, id);
            if (!t.found) continue;
            std::vector<int> ids;
            for (const auto& c : t.controls)
                if (c.id != -1 && c.id != 0xFFFF) ids.push_back(c.id);
            templates.push_back({id, ids});
        }
        std::sort(templates.begin(), templates.end(),
                  [](const auto& a, const auto& b) { return a.second.size() > b.second.size(); });
    }
    for (const auto& t : templates) {
        bool all = !t.second.empty();
        for (int id : t.second) all = all && GetDlgItem(window, id) != nullptr;
        if (all) return t.first;
    }
    return 0;
}

bool HasTemplate(WORD id) { return dialog_template::Load(g_language, id).found; }

std::string TextBefore(UINT id, char stop) {
    char text[1024] = "";
    const int n = LoadStringA(g_language, id, text, sizeof text);
    const std::string whole(text, n > 0 ? n : 0);
    return whole.substr(0, whole.find(stop));
}

bool IsMessageBox(HWND window) {
    HWND text = GetDlgItem(window, kMessageTextId);
    return text && ClassOf(text) == "Static" && TemplateOf(window) == 0;
}

HWND WaitForWindowOf(DWORD pid, const std::function<bool(HWND)>& accept, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        for (HWND w : VisibleDialogsOf(pid))
            if (accept(w)) return w;
        Pump(30);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND WaitForDialogOf(DWORD pid, WORD templateId, DWORD timeoutMs) {
    HWND found = WaitForWindowOf(pid, [&](HWND w) { return TemplateOf(w) == templateId; }, timeoutMs);
    if (!found) ADD_FAILURE() << "dialog " << templateId << " did not appear within " << timeoutMs << " ms";
    return found;
}

int GoOn(const MessageBoxSeen& box) {
    if (box.buttons == MB_YESNO || box.buttons == MB_YESNOCANCEL) return IDYES;
    return IDOK;
}

MessageBoxSeen AnswerBox(Report& report, HWND box, const BoxAnswer& choose) {
    MessageBoxSeen seen;
    seen.window = box;
    seen.caption = WindowText(box);
    seen.text = ControlText(box, kMessageTextId);
    const bool yes = GetDlgItem(box, IDYES) != nullptr, cancel = GetDlgItem(box, IDCANCEL) != nullptr;
    seen.buttons = yes ? (cancel ? MB_YESNOCANCEL : MB_YESNO)
                       : (GetDlgItem(box, IDOK) && cancel ? MB_OKCANCEL : MB_OK);
    const int button = choose(seen);
    report.Picture(box, "Message \"" + seen.caption + "\", answered " + ButtonName(button));
    report.Line("> **" + seen.caption + "**: " + demo_report::TableCell(seen.text) + "; answered " + ButtonName(button));
    report.Line();
    Click(box, button);
    WaitUntilGone(box);
    return seen;
}


bool AnswerUntilEnded(Report& report, Program& program, Answers& answers, DWORD timeoutMs, int* answered) {
    std::set<HWND> seen;
    const DWORD start = GetTickCount();
    while (program.Running()) {
        if (GetTickCount() - start > timeoutMs) {
            ADD_FAILURE() << "the program did not end within " << timeoutMs / 1000 << " s";
            return false;
        }
        for (HWND w : VisibleDialogsOf(program.pid())) {
            if (seen.count(w)) continue;
            // The information window lives only while its program works: it is pictured at once,
            // and its text is read without a message, which the busy program would not answer.
            if (TemplateOf(w) == IDD_PROGRESS_NOTE) {
                seen.insert(w);
                char text[512] = "";
                GetWindowTextA(GetDlgItem(w, IDC_NOTE_TEXT), text, sizeof text);
                Sleep(50);  // its first paint
                report.ScreenPicture(w, "Information window: " + std::string(text));
                continue;
            }
            Pump(100);  // let it finish its start before it is read
            if (!IsWindow(w) || !IsWindowVisible(w)) continue;
            const WORD id = TemplateOf(w);
            const auto handler = answers.dialogs.find(id);
            if (handler != answers.dialogs.end()) {
                seen.insert(w);
                handler->second(w);
                ++*answered;
            } else if (IsMessageBox(w)) {
                seen.insert(w);
                AnswerBox(report, w, answers.boxes);
                ++*answered;
            } else if (id) {
                seen.insert(w);
                ADD_FAILURE() << "dialog " << id << " \"" << WindowText(w) << "\" came unexpectedly; closed with Cancel";
                report.Picture(w, "Unexpected dialog \"" + WindowText(w) + "\"");
                Click(w, IDCANCEL);
            }
        }
        Pump(10);  // often: an information window may stand for a tenth of a second only
    }
    return true;
}

void AnswerUntilGone(Report& report, HWND dialog, DWORD timeoutMs) {
    const DWORD pid = ProcessOf(dialog), start = GetTickCount();
    while (IsWindow(dialog)) {
        if (GetTickCount() - start > timeoutMs) {
            ADD_FAILURE() << "dialog \"" << WindowText(dialog) << "\" was still open after " << timeoutMs << " ms";
            return;
        }
        for (HWND w : VisibleDialogsOf(pid))
            if (w != dialog && IsMessageBox(w)) AnswerBox(report, w);
        Pump(30);
    }
}

void Confirm(Report& report, HWND dialog, const std::string& caption, int button) {
    report.Picture(dialog, caption);
    Click(dialog, button);
    AnswerUntilGone(report, dialog);
}

}  // namespace demo
