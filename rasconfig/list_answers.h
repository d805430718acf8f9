// The keys that the MSN/EAZ and the incoming-caller sections share: a list that is emptied, and
// numbers that are taken out of it, as the pages' delete buttons do.
#pragma once

#include <string>
#include <vector>

#include "common/answer_file.h"
#include "common/answer_section.h"

// Clear (yes: every entry goes), then Delete (the entries of the numbers listed go; a number that
// is not listed is logged). List has find(number) (-1 when not listed) and remove(index).
template <typename List>
void ClearAndDeleteAnswered(SectionAnswers& answers, List* list) {
    bool clear = false;
    if (answers.YesNo("Clear", &clear) && clear) *list = List();
    std::vector<std::string> numbers;
    if (!AnswerList(answers, "Delete", &numbers)) return;
    for (const std::string& number : numbers) {
        const int index = list->find(number);
        if (index < 0)
            NoteAnswer(answers, "Delete", number + " is not listed");
        else
            list->remove(static_cast<size_t>(index));
    }
}
