#include "cleanup/product_choice.h"

#include "common/dialog_controls.h"
#include "common/language.h"
#include "lang/resource.h"

namespace {

// One row of the dialog per line: its check box, the description shown with it, and its bits.
struct ChoiceRow {
    int checkBox;
    int description;
    ProductBits detectedBits;
    ProductBits chosenBits;
};
const ChoiceRow kRows[] = {
    {IDC_CHOICE_ROUTER, IDC_CHOICE_ROUTER_FOUND, kRouterBits, kRouterLine},
    {IDC_CHOICE_REMOTE_ACCESS, IDC_CHOICE_REMOTE_ACCESS_FOUND, kRemoteAccessLine, kRemoteAccessLine},
    {IDC_CHOICE_GATEWAY, IDC_CHOICE_GATEWAY_FOUND, kGatewayLine, kGatewayLine},
};

// A line that is not installed has nothing to remove: its row is hidden, so that only the
// detected lines can be chosen.
void ShowDetectedRows(HWND dialog, ProductBits detected) {
    for (const ChoiceRow& row : kRows) {
        const BOOL hidden = (detected & row.detectedBits) == 0;
        SetControlHidden(dialog, row.checkBox, hidden);
        SetControlHidden(dialog, row.description, hidden);
    }
    CheckDlgButton(dialog, IDC_CHOICE_DELETE_FILES, BST_CHECKED);
}

ProductBits CheckedBits(HWND dialog) {
    ProductBits bits = 0;
    for (const ChoiceRow& row : kRows)
        if (IsDlgButtonChecked(dialog, row.checkBox) == BST_CHECKED) bits |= row.chosenBits;
    if (IsDlgButtonChecked(dialog, IDC_CHOICE_DELETE_FILES) == BST_CHECKED) bits |= kDeleteFilesBit;
    return bits;
}

}  // namespace

INT_PTR CALLBACK ProductChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ShowDetectedRows(dialog, static_cast<ProductBits>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, static_cast<INT_PTR>(CheckedBits(dialog)));
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR ChooseProducts(ProductBits detected) {
    if (!LanguageModule()) return kChoiceNotShown;
    const INT_PTR result = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_PRODUCT_CHOICE), nullptr,
                                           ProductChoiceProc, static_cast<LPARAM>(detected));
    return result == -1 ? kChoiceNotShown : result;
}
