// Line breaking for the wizard's transparent labels and the skinned message texts: pure logic
// over character advances, so the same text breaks the same way whatever draws it.
#pragma once

#include <string>
#include <vector>

struct TextLine {
    size_t start;
    size_t length;
};

// Breaks `text` (UTF-16) into lines no wider than `maxWidth`, given each character's advance.
// Lines end at every "\r\n" (or lone '\n'); a longer paragraph breaks between any two characters
// (Chinese text has no spaces) except inside a Latin word or number, which moves to the next line
// whole when a space allows. Closing punctuation never starts a line: it hangs at the end of the
// line before, even past the width. Every line holds at least one character.
// Characters that may not start a line: full-width and ASCII closing punctuation.
bool IsClosingPunctuation(wchar_t c);

std::vector<TextLine> BreakLines(const std::wstring& text, const std::vector<int>& advances,
                                 int maxWidth);
