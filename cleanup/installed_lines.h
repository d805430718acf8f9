// Which product lines are (or were) installed, and the clean-up of the chosen ones.
#pragma once

#include <windows.h>

#include "cleanup/product_lines.h"

// The lines whose names appear among the subkeys of the services key and of both maker keys;
// 0 when none does.
ProductBits DetectInstalledProducts();

// The clean-ups of the lines in bits, in the order router, remote access, gateway, each inside its
// information window owned by window. Only the last of them runs the common final step, so that
// the shared delete lists (DELFILES.DAT itself among them) come after every line's own list.
void CleanUpSelected(HWND window, ProductBits bits, BOOL deleteFiles);
