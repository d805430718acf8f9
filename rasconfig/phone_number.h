// The rule for ISDN numbers typed into the MSN/EAZ and incoming-caller pages. Plain text work, no
// Windows headers.
#pragma once

// Not empty, and only the digits 0 to 9 and the characters ( ) + - . / : "+49(30)123-45/6" is one;
// a number with a blank, a letter or "*" is none.
bool IsPhoneNumber(const char* text);
