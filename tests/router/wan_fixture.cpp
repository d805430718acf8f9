#include "wan_fixture.h"

#include <gtest/gtest.h>

#include "common/language.h"
#include "common/product.h"
#include "lang/resource.h"
#include "router/wan_config.h"
#include "router_fixture.h"

namespace router_test {

std::unique_ptr<dialog_robot::BackgroundCall> StartWan(ProductId product, WanOutcome* outcome, HWND parent) {
    return std::make_unique<dialog_robot::BackgroundCall>([=] {
        outcome->returned = ConfigureWan(parent, product, &outcome->result);
        return static_cast<INT_PTR>(outcome->returned);
    });
}

std::string LanguageText(UINT id) {
    char text[1024] = "";
    LoadLanguageString(id, text, sizeof text);
    return text;
}

std::string CaptionOf(ProductId product, UINT id) {
    return std::string(GetProductName(product)) + " " + LanguageText(id);
}

std::string LeasedLine() { return kGermanMachine ? "Festverbindung" : "leased line"; }

std::vector<std::string> Columns(const std::string& line) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        columns.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return columns;
        start = tab + 1;
    }
}

std::string WaitForLine(HWND dialog, int index, const std::function<bool(const std::string&)>& test, DWORD timeoutMs) {
    std::string line;
    Eventually(
        [&] {
            const std::vector<std::string> lines = dialog_robot::ListEntries(dialog, IDC_WAN_LIST);
            line = index < static_cast<int>(lines.size()) ? lines[index] : std::string("(no line)");
            return test(line);
        },
        timeoutMs);
    return line;
}

int RoomBefore(HWND wan, int left, int right) {
    RECT room = {left, 0, right - 4, 0};
    MapDialogRect(wan, &room);
    return room.right - room.left;
}

void ExpectCut(HWND list, const std::string& full, const std::string& shown, int limit) {
    HDC dc = GetDC(list);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    auto width = [&](const std::string& text) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    EXPECT_EQ(0u, full.rfind(shown, 0)) << "\"" << shown << "\" begins \"" << full << "\"";
    EXPECT_LT(width(shown), limit) << shown;
    if (shown.size() < full.size()) {
        EXPECT_GE(width(full.substr(0, shown.size() + 1)), limit) << shown;
    }
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
}

}  // namespace router_test
