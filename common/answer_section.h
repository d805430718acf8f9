// Beside SectionAnswers: the lists a section answers, and what the log says of answers that were
// passed over and of what was done with them.
#pragma once

#include <string>
#include <vector>

#include "common/answer_file.h"

// The comma-separated items of key; false when the key is not answered or its value is refused.
bool AnswerList(SectionAnswers& answers, const char* key, std::vector<std::string>* items);
// An answer that was passed over or corrected, or (key null) what a box would have said of the
// section as a whole: logged at level 1 with the section and key; the work goes on.
void NoteAnswer(const SectionAnswers& answers, const char* key, const std::string& text);
// What was done with the section's answers: logged at level 2.
void TellAnswer(const SectionAnswers& answers, const std::string& text);
