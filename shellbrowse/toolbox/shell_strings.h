#pragma once
// The library's texts from the program's string table (resources/shellbrowse_strings.rc).

#include <string>

namespace stampwell {

// The library's translation hook: every text taken from the string table passes through it.
// It returns the text unchanged unless a hook is set.
using TranslateStringHook = std::string (*)(const std::string& text);
void SetTranslateStringHook(TranslateStringHook hook) noexcept;
std::string TranslateString(const std::string& text);

// The string-table text `id` of the program's module, as is. When the program was linked
// without the table, the library's own text for that id; empty for an unknown id.
std::string LoadToolboxString(unsigned id);

// LoadToolboxString passed through TranslateString: what the user is shown.
std::string ToolboxText(unsigned id);

}  // namespace stampwell
