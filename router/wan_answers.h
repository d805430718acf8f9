// The WAN configuration from an answer file: the answers applied to the loaded controller table the
// way the WAN, controller and X.31 dialogs take them, in place of showing them.
#pragma once

#include <windows.h>

#include "common/answer_file.h"
#include "common/product.h"

// The section of the setup procedure that configures the product's WAN side; null for none.
const char* WanAnswerSection(ProductId product);

// In place of the WAN dialog on the loaded table: 1 when every answer was taken and the dialog's OK
// done, 0 when one was refused (the table then counts for nothing), -1 for a product the dialog
// is never shown for.
INT_PTR ApplyWanAnswers(SectionAnswers* answers, ProductId product);

// Key answering the question that comes when no controller is in use: yes saves all the same.
extern const char kSaveWithoutControllerKey[];
