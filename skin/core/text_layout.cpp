#include "text_layout.h"

bool IsClosingPunctuation(wchar_t c) {
    static const wchar_t kClosing[] = L"，。、；：！？）》」』】〕”’～,.;:!?)]}~";
    for (const wchar_t* p = kClosing; *p; ++p)
        if (*p == c) return true;
    return false;
}

namespace {

bool IsWordCharacter(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

void BreakParagraph(const std::wstring& text, const std::vector<int>& advances, size_t begin,
                    size_t end, int maxWidth, std::vector<TextLine>* lines) {
    if (begin == end) {
        lines->push_back({begin, 0});
        return;
    }
    size_t start = begin;
    while (start < end) {
        int width = 0;
        size_t stop = start;
        while (stop < end && (stop == start || width + advances[stop] <= maxWidth))
            width += advances[stop++];
        if (stop < end && IsClosingPunctuation(text[stop])) {
            // Hang closing punctuation on this line rather than start the next one with it.
            while (stop < end && IsClosingPunctuation(text[stop])) ++stop;
        } else if (stop < end && IsWordCharacter(text[stop - 1]) && IsWordCharacter(text[stop])) {
            // Latin words and numbers move to the next line whole: break at the last place that
            // is not inside one, when the line has such a place.
            size_t breakAt = stop - 1;
            while (breakAt > start && IsWordCharacter(text[breakAt - 1]) &&
                   IsWordCharacter(text[breakAt]))
                --breakAt;
            if (breakAt > start) stop = breakAt;
        }
        lines->push_back({start, stop - start});
        start = stop;
    }
}

}  // namespace

std::vector<TextLine> BreakLines(const std::wstring& text, const std::vector<int>& advances,
                                 int maxWidth) {
    std::vector<TextLine> lines;
    size_t begin = 0;
    for (;;) {
        size_t nl = text.find(L'\n', begin);
        size_t end = nl == std::wstring::npos ? text.size() : nl;
        size_t contentEnd = end > begin && text[end - 1] == L'\r' ? end - 1 : end;
        BreakParagraph(text, advances, begin, contentEnd, maxWidth, &lines);
        if (nl == std::wstring::npos) break;
        begin = nl + 1;
    }
    return lines;
}
