#pragma once
// Search and replace in the source editor, as the Find and Replace commands
// use it. Texts are the editor's UTF-8 (whatever the document's encoding);
// letter case is matched for any script; a match never spans more than the
// search text itself.
//
// Where it starts: a search goes from the far end of the selection (its end
// towards the end of the document, its start backwards), so repeated
// searches step from match to match; a replacement starts at the near end,
// so a selected match is the one replaced. A found match is selected and
// scrolled into view, the caret on its end (backwards: on its start).
// Replace changes the first match only, Replace All every match up to the
// end (backwards: the start) of the document, all of them found in the text
// as it was before (a replacement is not searched again, nor does it make a
// whole word of a match next to it or keep one from being one), as one
// change and one undo step; bookmarks stay on their lines. After a
// replacement the caret stands behind it (backwards: before it) and nothing
// is selected. A search that finds nothing changes nothing.

#include <string>

class QsciScintilla;

using TSearchOptions = unsigned;
constexpr TSearchOptions ssoMatchCase = 1;
constexpr TSearchOptions ssoWholeWord = 2;
constexpr TSearchOptions ssoBackwards = 4;
constexpr TSearchOptions ssoReplace = 8;
constexpr TSearchOptions ssoReplaceAll = 16;

// Searches for search (and replaces it by replace with ssoReplace or
// ssoReplaceAll); returns the number of matches found (replaced). An empty
// search text finds nothing. Replace All finds its matches beside the
// window (TProgressRunner: the progress window with its Cancel after half a
// second); cancelled, it raises ECancelled and the text is as it was.
int SearchReplace(QsciScintilla& editor, const std::string& search, const std::string& replace,
                  TSearchOptions options);

// The word around the caret, by the editor's word characters: the text from
// the start to the end of the word the caret stands in or touches; empty when
// the caret is on no word (or beyond the end of its line).
std::string WordAtCaret(QsciScintilla& editor);
