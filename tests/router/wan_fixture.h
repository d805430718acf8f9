// What the WAN dialog tests share: ConfigureWan on a thread of its own, the texts of the language
// module, and the columns of the WAN list.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/product.h"
#include "dialog_robot.h"

namespace router_test {

struct WanOutcome {
    BOOL returned = FALSE;
    const char* result = nullptr;
};

// ConfigureWan(parent, product) running on a thread of its own; outcome is filled when it returns.
std::unique_ptr<dialog_robot::BackgroundCall> StartWan(ProductId product, WanOutcome* outcome, HWND parent = nullptr);

std::string LanguageText(UINT id);
// "<product name> <string id>", as the dialogs' captions read.
std::string CaptionOf(ProductId product, UINT id);
// "leased line" or "Festverbindung" as the machine's language has it.
std::string LeasedLine();

std::vector<std::string> Columns(const std::string& line);
// Waits until line index of the list satisfies the test; the line as it is then.
std::string WaitForLine(HWND dialog, int index, const std::function<bool(const std::string&)>& test,
                        DWORD timeoutMs = 5000);

// A column cut to the longest beginning below limit pixels in the list's font.
void ExpectCut(HWND list, const std::string& full, const std::string& shown, int limit);
// The pixels of the WAN dialog's list from dialog unit left to one average character (4 dialog
// units) before right, as the window system converts dialog units for the dialog's font.
int RoomBefore(HWND wan, int left, int right);

}  // namespace router_test
